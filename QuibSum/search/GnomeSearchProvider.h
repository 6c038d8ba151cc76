#pragma once
// GnomeSearchProvider: the running application as a provider of GNOME Shell's overview search
// (org.gnome.Shell.SearchProvider2). A result's identifier is its expression, so that every
// call stands on its own: the Shell may ask for metas or activate a result long after it was
// found, with other rates in hand by then. Main thread only.

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include "QuibSum/search/SearchActions.h"

namespace quibsum {

class GnomeSearchProvider : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
public:
    static constexpr char objectPath[] = "/org/quibsum/QuibSum/SearchProvider";
    // The icon the Shell shows beside a result: the application's.
    static constexpr char iconName[] = "quibsum";

    explicit GnomeSearchProvider(SearchActions actions, QObject* parent = nullptr);

    // Exports the object on `bus`; false when its path is taken.
    bool registerOn(QDBusConnection bus);

public slots:
    QStringList GetInitialResultSet(const QStringList& terms);
    QStringList GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms);
    QList<QVariantMap> GetResultMetas(const QStringList& identifiers);
    void ActivateResult(const QString& identifier, const QStringList& terms, uint timestamp);
    void LaunchSearch(const QStringList& terms, uint timestamp);

private:
    QStringList resultsFor(const QStringList& terms);

    SearchActions actions_;
};

}  // namespace quibsum
