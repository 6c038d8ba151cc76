#include "QuibSum/editor/TotalFooter.h"

#include <QAccessible>
#include <QActionGroup>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <algorithm>

#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

namespace {

constexpr int iconSize = 16;

// Drawn rather than taken from an icon theme, which a desktop may not have.
QIcon menuIcon(const QColor& colour) {
    QPixmap pixmap(iconSize * 2, iconSize * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {4.5, 8.0, 11.5}) p.drawLine(QPointF(3, y), QPointF(13, y));
    return QIcon(pixmap);
}

QIcon pinIcon(const QColor& colour, bool pinned) {
    QPixmap pixmap(iconSize * 2, iconSize * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath head;
    head.moveTo(5.5, 2.5);
    head.lineTo(10.5, 2.5);
    head.lineTo(9.5, 7.5);
    head.lineTo(12, 9.5);
    head.lineTo(4, 9.5);
    head.lineTo(6.5, 7.5);
    head.closeSubpath();
    if (pinned) p.setBrush(colour);
    p.drawPath(head);
    p.drawLine(QPointF(8, 9.5), QPointF(8, 14));
    return QIcon(pixmap);
}

struct Choice {
    const char* title;
    const char* value;
};

}  // namespace

TotalFooter::TotalFooter(SumSettings& settings, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      label_(new QLabel(tr("Total:"), this)),
      valueButton_(new QToolButton(this)),
      pinButton_(new QToolButton(this)),
      settingsButton_(new QToolButton(this)),
      menu_(new QMenu(this)),
      copy_([](const QString& t) { QGuiApplication::clipboard()->setText(t); }),
      schedule_(timerSchedule(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 4, 8, 6);
    layout->setSpacing(6);
    layout->addWidget(label_);
    layout->addWidget(valueButton_);
    layout->addStretch(1);
    layout->addWidget(pinButton_);
    layout->addWidget(settingsButton_);

    valueButton_->setAutoRaise(true);
    valueButton_->setCursor(Qt::PointingHandCursor);
    connect(valueButton_, &QToolButton::clicked, this, [this] { copyTotal(); });

    pinButton_->setAutoRaise(true);
    pinButton_->setCheckable(true);
    pinButton_->setToolTip(tr("Pin on top"));
    pinButton_->setAccessibleName(tr("Pin on top"));
    connect(pinButton_, &QToolButton::clicked, this, &TotalFooter::pinClicked);

    settingsButton_->setAutoRaise(true);
    settingsButton_->setToolTip(tr("Settings"));
    settingsButton_->setAccessibleName(tr("Settings"));
    settingsButton_->setPopupMode(QToolButton::InstantPopup);
    settingsButton_->setMenu(menu_);
    // A menu closed by a choice leaves the buttons looking hovered until the pointer passes
    // again: they saw no leave while the menu held the pointer.
    connect(menu_, &QMenu::aboutToHide, this, [this] {
        for (QToolButton* button : {settingsButton_, pinButton_}) {
            if (button->rect().contains(button->mapFromGlobal(QCursor::pos()))) continue;
            button->setAttribute(Qt::WA_UnderMouse, false);
            button->update();
        }
    });
    buildMenu();

    setTheme(theme_);
    showTotal();
}

void TotalFooter::buildMenu() {
    auto addChoices = [this](const QString& title, std::initializer_list<Choice> choices,
                             const std::function<void(const QString&)>& set,
                             const QString& (SumSettings::*current)() const) {
        QMenu* sub = menu_->addMenu(title);
        choiceMenus_.push_back({sub, current});
        auto* group = new QActionGroup(sub);
        group->setExclusive(true);
        for (const Choice& c : choices) {
            QAction* action = sub->addAction(QCoreApplication::translate("TotalFooter", c.title));
            action->setCheckable(true);
            action->setData(QString::fromLatin1(c.value));
            group->addAction(action);
            connect(action, &QAction::triggered, this, [set, value = QString::fromLatin1(c.value)] { set(value); });
        }
    };
    addChoices(
        tr("Number style"), {{QT_TR_NOOP("United States (1,234.5)"), "en"}, {QT_TR_NOOP("Vietnam (1.234,5)"), "vi"}},
        [this](const QString& v) { settings_.setNumberStyle(v); }, &SumSettings::numberStyle);
    addChoices(
        tr("Default VND rate"),
        {{QT_TR_NOOP("Transfer"), "transfer"}, {QT_TR_NOOP("Buy"), "buy"}, {QT_TR_NOOP("Sell"), "sell"}},
        [this](const QString& v) { settings_.setRateKind(v); }, &SumSettings::rateKind);
    addChoices(
        tr("Appearance"),
        {{QT_TR_NOOP("Dark"), "dark"}, {QT_TR_NOOP("Light"), "light"}, {QT_TR_NOOP("System"), "system"}},
        [this](const QString& v) { settings_.setAppearance(v); }, &SumSettings::appearance);

    connect(menu_->addAction(tr("Update rates")), &QAction::triggered, this, &TotalFooter::refreshRequested);
    QAction* settingsAction = menu_->addAction(tr("Settings…"));
    settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settingsAction, &QAction::triggered, this, &TotalFooter::settingsRequested);
    donateAction_ = menu_->addAction(tr("Donate…"));
    connect(donateAction_, &QAction::triggered, this, &TotalFooter::donateRequested);
    updatesAction_ = menu_->addAction(tr("Check for Updates…"));
    connect(updatesAction_, &QAction::triggered, this, &TotalFooter::updatesRequested);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(tr("Quit Quib Sum"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &TotalFooter::quitRequested);

    // The owner may have added submenus since the theme was set.
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        themeMenus();
        refreshChecks();
        donateAction_->setVisible(offersDonate_);
        updatesAction_->setVisible(offersUpdates_);
    });
    refreshChecks();
}

void TotalFooter::offerProjectPages(bool donate, bool updates) {
    offersDonate_ = donate;
    offersUpdates_ = updates;
}

// Each choice submenu checks the stored value, wherever the owner put other menus beside
// them. A value that is none of the choices works as the default, the first choice.
void TotalFooter::refreshChecks() {
    for (const ChoiceMenu& choices : choiceMenus_) {
        const QString& current = (settings_.*choices.current)();
        const QList<QAction*> actions = choices.menu->actions();
        const bool known = std::any_of(actions.begin(), actions.end(),
                                       [&](const QAction* a) { return a->data().toString() == current; });
        for (QAction* choice : actions)
            choice->setChecked(known ? choice->data().toString() == current : choice == actions.first());
    }
}

void TotalFooter::setTotal(const PageTotal& total, const std::optional<QString>& rateSource) {
    total_ = total;
    isError_ = false;
    display_.reset();
    totalTitle_.clear();
    QString tooltip;
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) {
        display_ = QString::fromStdString(value->display);
        totalTitle_ = *display_;
        tooltip = tr("Sum of %1 lines").arg(value->count);
        if (rateSource) tooltip += u'\n' + *rateSource;
    } else if (const auto* error = std::get_if<PageTotal::Error>(&total.payload)) {
        totalTitle_ = QCoreApplication::translate("EngineMessages", error->message.c_str());
        isError_ = true;
    } else if (std::holds_alternative<PageTotal::Incompatible>(total.payload)) {
        totalTitle_ = tr("Incompatible page units");
        isError_ = true;
    }
    valueButton_->setToolTip(tooltip);
    showTotal();
}

void TotalFooter::showTotal() {
    valueButton_->setText(isCopied_ && display_ ? tr("Copied") : totalTitle_);
    valueButton_->setEnabled(display_.has_value());
    valueButton_->setAccessibleName(display_ ? tr("Copy page total") : totalTitle_);
    QPalette palette = valueButton_->palette();
    const QColor colour = theme_.color(isError_ ? PaletteRole::error : PaletteRole::result);
    // Disabled for an error too, yet it must read in the error colour, not greyed out.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::ButtonText, colour);
    valueButton_->setPalette(palette);
}

void TotalFooter::copyTotal() {
    if (!display_) return;
    copy_(*display_);
    isCopied_ = true;
    const std::uint64_t generation = ++feedbackGeneration_;
    showTotal();
    QAccessibleEvent announce(valueButton_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&announce);
    schedule_(copiedFeedback, [this, generation] {
        if (generation != feedbackGeneration_) return;
        isCopied_ = false;
        showTotal();
    });
}

void TotalFooter::endFeedback() {
    ++feedbackGeneration_;
    isCopied_ = false;
    showTotal();
}

void TotalFooter::setPinned(bool pinned) {
    pinButton_->setChecked(pinned);
    pinButton_->setIcon(pinIcon(theme_.color(pinned ? PaletteRole::result : PaletteRole::footerText), pinned));
}

// Menus are windows of their own, which take no colours from the footer: each is given them.
void TotalFooter::themeMenus() {
    const QPalette palette = theme_.palette();
    menu_->setPalette(palette);
    for (QMenu* sub : menu_->findChildren<QMenu*>()) sub->setPalette(palette);
}

void TotalFooter::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    QPalette palette = theme.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, theme.color(PaletteRole::footerText));
        palette.setColor(group, QPalette::ButtonText, theme.color(PaletteRole::footerText));
    }
    setPalette(palette);
    themeMenus();
    QFont font = theme.textFont();
    label_->setFont(font);
    valueButton_->setFont(font);
    settingsButton_->setIcon(menuIcon(theme.color(PaletteRole::footerText)));
    setPinned(pinButton_->isChecked());
    showTotal();
}

}  // namespace quibsum
