#include "QuibSum/storage/SheetStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "QuibSum/storage/JsonText.h"

namespace quibsum {

const QUuid SheetStore::quickSheetID = QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-000000000001"));

namespace {

// Dates in the index count seconds from 2001-01-01 00:00:00 UTC, with a fraction.
constexpr double referenceDateOffset = 978307200.0;  // 2001-01-01 in Unix seconds
// Far beyond any real date, yet small enough that the conversion to milliseconds is exact.
constexpr double maxIndexDate = 1e13;

double encodeDate(const QDateTime& date) {
    // Subtract in whole milliseconds first, so the number written is the date's own decimal.
    return static_cast<double>(date.toMSecsSinceEpoch() - static_cast<qint64>(referenceDateOffset) * 1000) / 1000.0;
}

QDateTime decodeDate(double seconds) {
    auto ms = static_cast<qint64>(std::llround((seconds + referenceDateOffset) * 1000.0));
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

QString tr(const char* text) {
    return QCoreApplication::translate("SheetStore", text);
}

QString quoted(const QString& path) {
    return QStringLiteral("“%1”").arg(path);
}

// Makes every missing folder of the path, owner-only, and makes the last one owner-only even
// if it existed: sheets are private notes.
void makePrivateFolder(const QString& path) {
    QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    for (qsizetype i = 1; i <= native.size(); ++i) {
        if (i < native.size() && native[i] != '/') continue;
        QByteArray prefix = native.left(i);
        if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST) {
            throw StorageError(StorageError::Kind::file,
                               tr("Could not create the folder %1: %2")
                                   .arg(quoted(QFile::decodeName(prefix)), QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw StorageError(StorageError::Kind::file, tr("Could not create the folder %1: it is not a folder").arg(quoted(path)));
    }
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid()) ::chmod(native.constData(), info.st_mode & 0700);
}

std::invalid_argument damaged(const QString& problem) {
    return std::invalid_argument(problem.toStdString());
}

}  // namespace

SheetStore::SheetStore(const QString& directory, Clock clock)
    : directory_(directory), clock_(clock ? std::move(clock) : [] { return QDateTime::currentDateTimeUtc(); }) {
    saveTimer_.setSingleShot(true);
    saveTimer_.setTimerType(Qt::PreciseTimer);
    saveTimer_.setInterval(saveDelay);
    // The timer dies with the store, so a discarded store is never saved late.
    QObject::connect(&saveTimer_, &QTimer::timeout, [this] { delayedSave(); });

    makePrivateFolder(directory_);

    QFile index(indexPath());
    if (index.exists()) {
        if (!index.open(QIODevice::ReadOnly)) {
            throw StorageError(StorageError::Kind::file,
                               tr("Could not read the sheet index %1: %2").arg(quoted(indexPath()), index.errorString()));
        }
        QByteArray bytes = index.readAll();
        if (index.error() != QFileDevice::NoError) {
            throw StorageError(StorageError::Kind::file,
                               tr("Could not read the sheet index %1: %2").arg(quoted(indexPath()), index.errorString()));
        }
        try {
            records_ = decodeIndex(bytes);
        } catch (const std::invalid_argument& e) {
            // Never rebuilt or overwritten: it lists the user's sheets and may be repairable.
            throw StorageError(StorageError::Kind::damagedIndex,
                               tr("The sheet index %1 is damaged: %2").arg(quoted(indexPath()), QString::fromUtf8(e.what())));
        }
        std::stable_sort(records_.begin(), records_.end(),
                         [](const Record& a, const Record& b) { return a.order < b.order; });
    }

    if (record(quickSheetID) == nullptr) {
        QDateTime now = clock_();
        records_.insert(records_.begin(), Record{quickSheetID, tr("Quick"), now, now, -1});
        // A quick sheet whose record was lost (an index removed by hand) still has the user's
        // text: keep its file as it is rather than writing an empty text over it.
        QFileInfo file(textPath(quickSheetID));
        if (!file.exists() && !file.isSymLink()) pending_[quickSheetID] = QString();
        save();
    }
}

const SheetStore::Record* SheetStore::record(const QUuid& id) const {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
    return it == records_.end() ? nullptr : &*it;
}

QString SheetStore::text(const QUuid& id) const {
    if (auto it = pending_.find(id); it != pending_.end()) return it->second;
    QFile file(textPath(id));
    if (!file.open(QIODevice::ReadOnly)) {
        throw StorageError(StorageError::Kind::file,
                           tr("Could not read the sheet %1: %2").arg(quoted(file.fileName()), file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw StorageError(StorageError::Kind::file,
                           tr("Could not read the sheet %1: %2").arg(quoted(file.fileName()), file.errorString()));
    }
    return normalized(QString::fromUtf8(bytes));
}

void SheetStore::setText(const QString& text, const QUuid& id) {
    pending_[id] = normalized(text);
    auto it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
    if (it != records_.end()) {
        it->modified = clock_();
        recordsChanged();
    }
    saveTimer_.start();  // restarts a waiting save: a burst of edits gives one write
}

QString SheetStore::appendToQuickSheet(const QString& text) {
    QString combined = this->text(quickSheetID);
    if (!combined.isEmpty() && !combined.endsWith(u'\n')) combined += u'\n';
    combined += normalized(text);
    setText(combined, quickSheetID);
    save();
    return combined;
}

QUuid SheetStore::createSheet(const std::optional<QString>& title) {
    QString name;
    if (title) {
        name = *title;
    } else {
        for (long long n = 1;; ++n) {
            name = tr("Sheet %1").arg(n);
            if (std::none_of(records_.begin(), records_.end(), [&](const Record& r) { return r.title == name; })) break;
        }
    }
    std::int64_t order = 1;
    if (!records_.empty()) {
        order = std::max_element(records_.begin(), records_.end(), [](const Record& a, const Record& b) {
                    return a.order < b.order;
                })->order + 1;
    }
    QDateTime now = clock_();
    QUuid id = QUuid::createUuid();
    records_.push_back(Record{id, name, now, now, order});
    pending_[id] = QString();
    recordsChanged();
    save();
    return id;
}

void SheetStore::deleteSheet(const QUuid& id) {
    if (id == quickSheetID) {
        throw StorageError(StorageError::Kind::protectedSheet, tr("The quick sheet cannot be deleted."));
    }
    auto removed = std::erase_if(records_, [&](const Record& r) { return r.id == id; });
    pending_.erase(id);
    if (removed != 0) recordsChanged();
    save();
    QFile file(textPath(id));
    if (!file.remove()) {
        throw StorageError(StorageError::Kind::file,
                           tr("Could not remove the sheet %1: %2").arg(quoted(file.fileName()), file.errorString()));
    }
}

void SheetStore::save() {
    saveTimer_.stop();
    try {
        for (const auto& [id, text] : pending_) writeFile(textPath(id), text.toUtf8());
        writeFile(indexPath(), encodeIndex(records_));
    } catch (const StorageError& e) {
        setLastError(e.message());
        throw;
    }
    pending_.clear();
    setLastError(std::nullopt);
}

void SheetStore::delayedSave() {
    try {
        save();
    } catch (const StorageError&) {
        // save() has set lastError, which is how a failed background write is reported.
    }
}

void SheetStore::writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QString reason = file.errorString();
        file.cancelWriting();
        throw StorageError(StorageError::Kind::file, tr("Could not save %1: %2").arg(quoted(path), reason));
    }
}

void SheetStore::setLastError(std::optional<QString> error) {
    lastError_ = std::move(error);
    if (onSaveStateChange) onSaveStateChange(lastError_);
}

void SheetStore::recordsChanged() {
    if (onRecordsChange) onRecordsChange();
}

QString SheetStore::indexPath() const {
    return directory_ + QStringLiteral("/index.json");
}

QString SheetStore::textPath(const QUuid& id) const {
    return directory_ + u'/' + idText(id) + QStringLiteral(".txt");
}

QString SheetStore::normalized(QString text) {
    if (!text.contains(u'\r')) return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString SheetStore::idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QByteArray SheetStore::encodeIndex(const std::vector<Record>& records) {
    JsonText json(/*escapeSlash=*/true);
    json.beginArray();
    for (const Record& r : records) {
        json.beginObject()
            .key("id").string(idText(r.id).toStdString())
            .key("title").string(r.title.toStdString())
            .key("created").number(encodeDate(r.created))
            .key("modified").number(encodeDate(r.modified))
            .key("order").integer(r.order)
            .endObject();
    }
    json.endArray();
    return QByteArray::fromStdString(json.text());
}

std::vector<SheetStore::Record> SheetStore::decodeIndex(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw damaged(QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
    }
    if (!document.isArray()) throw damaged(QStringLiteral("it is not a list of sheets"));

    std::vector<Record> records;
    const QJsonArray array = document.array();
    records.reserve(static_cast<std::size_t>(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString where = QStringLiteral("sheet %1").arg(i + 1);
        if (!array[i].isObject()) throw damaged(where + QStringLiteral(" is not an object"));
        QJsonObject object = array[i].toObject();
        auto member = [&](const char* key, bool (QJsonValue::*isType)() const, const char* type) {
            QJsonValue value = object.value(QLatin1String(key));
            if (value.isUndefined()) throw damaged(QStringLiteral("%1 has no \"%2\"").arg(where, QLatin1String(key)));
            if (!(value.*isType)())
                throw damaged(QStringLiteral("%1 has a \"%2\" that is not %3").arg(where, QLatin1String(key), QLatin1String(type)));
            return value;
        };

        Record r;
        QString id = member("id", &QJsonValue::isString, "a string").toString();
        // Only the 8-4-4-4-12 form: QUuid would also take braces, and a null id for garbage.
        r.id = id.size() == 36 ? QUuid::fromString(id) : QUuid();
        if (r.id.isNull() && id != QStringLiteral("00000000-0000-0000-0000-000000000000"))
            throw damaged(QStringLiteral("%1 has an \"id\" that is not a UUID").arg(where));
        r.title = member("title", &QJsonValue::isString, "a string").toString();
        for (auto [key, field] : {std::pair{"created", &Record::created}, std::pair{"modified", &Record::modified}}) {
            double seconds = member(key, &QJsonValue::isDouble, "a number").toDouble();
            if (!std::isfinite(seconds) || std::fabs(seconds) > maxIndexDate)
                throw damaged(QStringLiteral("%1 has a \"%2\" that is not a date").arg(where, QLatin1String(key)));
            r.*field = decodeDate(seconds);
        }
        QJsonValue order = member("order", &QJsonValue::isDouble, "a number");
        qint64 integral = order.toInteger();
        if (static_cast<double>(integral) != order.toDouble())
            throw damaged(QStringLiteral("%1 has an \"order\" that is not an integer").arg(where));
        r.order = integral;
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace quibsum
