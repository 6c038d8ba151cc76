#pragma once
// KRunnerRunner: the running application as a KRunner runner (org.kde.krunner1). A match's
// identifier is its expression, so that Run stands on its own. Main thread only.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "QuibSum/search/SearchActions.h"

namespace quibsum {

// One row of KRunner's results: a(sssida{sv}).
struct KRunnerMatch {
    QString id;
    QString text;
    QString iconName;
    int type = 0;  // KRunner's match category
    double relevance = 0;
    QVariantMap properties;
};

// One action offered on a row: a(sss).
struct KRunnerAction {
    QString id;
    QString text;
    QString iconName;
};

QDBusArgument& operator<<(QDBusArgument& argument, const KRunnerMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, KRunnerMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const KRunnerAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, KRunnerAction& action);

class KRunnerRunner : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
public:
    static constexpr char objectPath[] = "/org/quibsum/QuibSum/KRunner";
    static constexpr char copyAction[] = "copy";
    static constexpr char openAction[] = "open";
    // KRunner's highest category: an exact answer to what was typed.
    static constexpr int exactMatch = 100;

    explicit KRunnerRunner(SearchActions actions, QObject* parent = nullptr);

    // Exports the object on `bus`; false when its path is taken.
    bool registerOn(QDBusConnection bus);

public slots:
    QList<KRunnerMatch> Match(const QString& query);
    QList<KRunnerAction> Actions();
    // An empty action is the row's default: copying the result.
    void Run(const QString& matchId, const QString& actionId);

private:
    SearchActions actions_;
};

}  // namespace quibsum

Q_DECLARE_METATYPE(quibsum::KRunnerMatch)
Q_DECLARE_METATYPE(quibsum::KRunnerAction)
