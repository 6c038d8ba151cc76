#include "QuibSum/search/GnomeSearchProvider.h"

#include <QDBusMetaType>

namespace quibsum {

GnomeSearchProvider::GnomeSearchProvider(SearchActions actions, QObject* parent)
    : QObject(parent), actions_(std::move(actions)) {
    // GetResultMetas answers aa{sv}.
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

bool GnomeSearchProvider::registerOn(QDBusConnection bus) {
    return bus.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAllSlots);
}

QStringList GnomeSearchProvider::resultsFor(const QStringList& terms) {
    if (!actions_.answer) return {};
    const std::optional<SearchAnswer> answer = actions_.answer(SearchAnswer::expressionOf(terms));
    if (!answer) return {};
    return {answer->expression};
}

QStringList GnomeSearchProvider::GetInitialResultSet(const QStringList& terms) { return resultsFor(terms); }

// The previous results say nothing about the new expression: "1+" had none, "1+2" has one.
QStringList GnomeSearchProvider::GetSubsearchResultSet(const QStringList&, const QStringList& terms) {
    return resultsFor(terms);
}

QList<QVariantMap> GnomeSearchProvider::GetResultMetas(const QStringList& identifiers) {
    QList<QVariantMap> metas;
    if (!actions_.answer) return metas;
    for (const QString& identifier : identifiers) {
        const std::optional<SearchAnswer> answer = actions_.answer(identifier);
        // An identifier that no longer has an answer is left out; the Shell drops its row.
        if (!answer) continue;
        metas.append(QVariantMap{
            {QStringLiteral("id"), identifier},
            {QStringLiteral("name"), answer->result},
            {QStringLiteral("description"), answer->description},
            {QStringLiteral("gicon"), QString::fromLatin1(iconName)},
            // Newer Shells offer to copy this text themselves.
            {QStringLiteral("clipboardText"), answer->result},
        });
    }
    return metas;
}

void GnomeSearchProvider::ActivateResult(const QString& identifier, const QStringList&, uint) {
    if (!actions_.answer || !actions_.copy) return;
    if (const std::optional<SearchAnswer> answer = actions_.answer(identifier)) actions_.copy(answer->result);
}

void GnomeSearchProvider::LaunchSearch(const QStringList& terms, uint) {
    const QString expression = SearchAnswer::expressionOf(terms);
    if (!actions_.open || expression.isEmpty() || expression.size() > SearchAnswer::maxExpressionLength) return;
    actions_.open(expression);
}

}  // namespace quibsum
