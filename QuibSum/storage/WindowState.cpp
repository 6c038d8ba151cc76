#include "QuibSum/storage/WindowState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <cmath>

#include "QuibSum/storage/JsonText.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {

WindowState WindowState::defaults() {
    return WindowState{QRectF(QPointF(-1000000, -1000000), defaultSize), false, SheetStore::quickSheetID};
}

QByteArray WindowState::encode() const {
    JsonText json;
    json.beginObject()
        .key("frame")
        .beginArray()
        .beginArray()
        .number(frame.x())
        .number(frame.y())
        .endArray()
        .beginArray()
        .number(frame.width())
        .number(frame.height())
        .endArray()
        .endArray()
        .key("pinned")
        .boolean(pinned)
        .key("sheetID")
        .string(SheetStore::idText(sheetID).toStdString())
        .endObject();
    return QByteArray::fromStdString(json.text());
}

std::optional<WindowState> WindowState::decode(const QByteArray& json) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    QJsonObject object = document.object();

    auto pair = [](const QJsonValue& value) -> std::optional<QPointF> {
        QJsonArray array = value.toArray();
        if (!value.isArray() || array.size() != 2 || !array[0].isDouble() || !array[1].isDouble()) return std::nullopt;
        QPointF p(array[0].toDouble(), array[1].toDouble());
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return std::nullopt;
        return p;
    };
    QJsonValue frame = object.value(QLatin1String("frame"));
    QJsonArray parts = frame.toArray();
    if (!frame.isArray() || parts.size() != 2) return std::nullopt;
    auto origin = pair(parts[0]);
    auto size = pair(parts[1]);
    if (!origin || !size) return std::nullopt;

    QJsonValue pinned = object.value(QLatin1String("pinned"));
    QJsonValue sheetID = object.value(QLatin1String("sheetID"));
    if (!pinned.isBool() || !sheetID.isString()) return std::nullopt;
    QString idText = sheetID.toString();
    QUuid id = idText.size() == 36 ? QUuid::fromString(idText) : QUuid();
    if (id.isNull() && idText != QStringLiteral("00000000-0000-0000-0000-000000000000")) return std::nullopt;

    return WindowState{QRectF(*origin, QSizeF(size->x(), size->y())), pinned.toBool(), id};
}

void WindowState::save(QSettings& settings) const { settings.setValue(QLatin1String(settingsKey), encode()); }

std::optional<WindowState> WindowState::load(const QSettings& settings) {
    QVariant value = settings.value(QLatin1String(settingsKey));
    // Written as bytes; text is accepted too, as a person editing the file would write it.
    if (value.typeId() == QMetaType::QByteArray) return decode(value.toByteArray());
    if (value.typeId() == QMetaType::QString) return decode(value.toString().toUtf8());
    return std::nullopt;
}

QUuid WindowState::sheetToShow(const SheetStore& store) const {
    return store.record(sheetID) != nullptr ? sheetID : SheetStore::quickSheetID;
}

QRectF WindowState::place(const QRectF& frame, const QList<QRectF>& screens, const QPointF& mouse) {
    if (screens.isEmpty()) {
        return QRectF(frame.topLeft(), QSizeF(std::max(frame.width(), minimumSize.width()),
                                              std::max(frame.height(), minimumSize.height())));
    }

    const QRectF* target = nullptr;
    double largest = 0;
    for (const QRectF& screen : screens) {
        if (!screen.intersects(frame)) continue;
        QRectF overlap = screen.intersected(frame);
        double area = overlap.width() * overlap.height();
        if (target == nullptr || area > largest) {
            target = &screen;
            largest = area;
        }
    }
    const bool centre = target == nullptr;
    if (centre) {
        auto under = std::find_if(screens.begin(), screens.end(), [&](const QRectF& s) { return s.contains(mouse); });
        target = under != screens.end() ? &*under : &screens.front();
    }
    const QRectF& s = *target;

    double width = std::max(std::min(frame.width(), s.width()), minimumSize.width());
    double height = std::max(std::min(frame.height(), s.height()), minimumSize.height());
    double x = centre ? s.center().x() - width / 2 : frame.x();
    double y = centre ? s.center().y() - height / 2 : frame.y();
    x = std::max(s.left(), std::min(x, s.left() + s.width() - width));
    y = std::max(s.top(), std::min(y, s.top() + s.height() - height));
    return QRectF(x, y, width, height);
}

}  // namespace quibsum
