#include "QuibSum/search/KRunnerRunner.h"

#include <QDBusMetaType>

namespace quibsum {

QDBusArgument& operator<<(QDBusArgument& argument, const KRunnerMatch& match) {
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, KRunnerMatch& match) {
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const KRunnerAction& action) {
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, KRunnerAction& action) {
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

KRunnerRunner::KRunnerRunner(SearchActions actions, QObject* parent) : QObject(parent), actions_(std::move(actions)) {
    qDBusRegisterMetaType<KRunnerMatch>();
    qDBusRegisterMetaType<QList<KRunnerMatch>>();
    qDBusRegisterMetaType<KRunnerAction>();
    qDBusRegisterMetaType<QList<KRunnerAction>>();
}

bool KRunnerRunner::registerOn(QDBusConnection bus) {
    return bus.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAllSlots);
}

QList<KRunnerMatch> KRunnerRunner::Match(const QString& query) {
    if (!actions_.answer) return {};
    const std::optional<SearchAnswer> answer = actions_.answer(query);
    if (!answer) return {};
    KRunnerMatch match;
    match.id = answer->expression;
    match.text = answer->result;
    match.iconName = QStringLiteral("quibsum");
    match.type = exactMatch;
    match.relevance = 1.0;
    match.properties.insert(QStringLiteral("subtext"), answer->description);
    return {match};
}

QList<KRunnerAction> KRunnerRunner::Actions() {
    return {
        {QString::fromLatin1(copyAction), tr("Copy result"), QStringLiteral("edit-copy")},
        {QString::fromLatin1(openAction), tr("Open in Quib Sum"), QStringLiteral("quibsum")},
    };
}

void KRunnerRunner::Run(const QString& matchId, const QString& actionId) {
    if (actionId == QLatin1String(openAction)) {
        if (actions_.open && !matchId.trimmed().isEmpty() && matchId.size() <= SearchAnswer::maxExpressionLength)
            actions_.open(matchId.trimmed());
        return;
    }
    if (!actionId.isEmpty() && actionId != QLatin1String(copyAction)) return;
    if (!actions_.answer || !actions_.copy) return;
    if (const std::optional<SearchAnswer> answer = actions_.answer(matchId)) actions_.copy(answer->result);
}

}  // namespace quibsum
