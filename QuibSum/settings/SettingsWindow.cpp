#include "QuibSum/settings/SettingsWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "QuibSum/desktop/PanelIcon.h"
#include "QuibSum/desktop/ProjectLinks.h"
#include "QuibSum/desktop/WindowPin.h"
#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/settings/HotkeyRecorder.h"
#include "QuibSum/settings/SettingsPanes.h"
#include "QuibSum/settings/SumCurrencyGuide.h"
#include "QuibSum/storage/SumSettings.h"
#include "QuibSumRates/ERAPIProvider.h"

#ifndef QUIBSUM_VERSION
#define QUIBSUM_VERSION ""
#endif
#ifndef QUIBSUM_BUILD
#define QUIBSUM_BUILD ""
#endif
#ifndef QUIBSUM_RELEASE_STAGE
#define QUIBSUM_RELEASE_STAGE ""
#endif

namespace quibsum {

namespace {

QLabel* rowTitle(const QString& text) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel* secondaryText(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A small picture of the sheet window in one appearance; the system tile shows both halves.
QIcon appearancePreview(const QString& value) {
    const EditorTheme light(false), dark(true);
    QPixmap picture(72, 48);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    auto drawHalf = [&](const EditorTheme& theme, QRect clip) {
        p.save();
        p.setClipRect(clip);
        p.setPen(theme.color(PaletteRole::separator));
        p.setBrush(theme.color(PaletteRole::background));
        p.drawRoundedRect(QRectF(0.5, 0.5, 71, 47), 6, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(theme.color(PaletteRole::text));
        p.drawRect(8, 12, 30, 3);
        p.drawRect(8, 22, 22, 3);
        p.setBrush(theme.color(PaletteRole::result));
        p.drawRect(50, 12, 14, 3);
        p.drawRect(46, 22, 18, 3);
        p.restore();
    };
    if (value == QLatin1String("light")) {
        drawHalf(light, picture.rect());
    } else if (value == QLatin1String("dark")) {
        drawHalf(dark, picture.rect());
    } else {
        drawHalf(light, QRect(0, 0, 36, 48));
        drawHalf(dark, QRect(36, 0, 36, 48));
    }
    return QIcon(picture);
}

QIcon numberPreview(const QString& sample, const QPalette& palette) {
    QPixmap picture(72, 48);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    QFont font = p.font();
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(palette.color(QPalette::WindowText));
    p.drawText(picture.rect(), Qt::AlignCenter, sample);
    return QIcon(picture);
}

struct Choice {
    QString value;
    QString label;
};

// Exclusive tiles, each with its stored value as property "value".
QButtonGroup* choiceTiles(QWidget* owner, QHBoxLayout* row, const QList<Choice>& choices,
                          const std::function<QIcon(const QString&)>& preview) {
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (const Choice& choice : choices) {
        auto* tile = new QToolButton;
        tile->setCheckable(true);
        tile->setAutoRaise(true);
        tile->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tile->setIconSize(QSize(72, 48));
        tile->setIcon(preview(choice.value));
        tile->setText(choice.label);
        tile->setProperty("value", choice.value);
        tile->setMinimumWidth(110);
        group->addButton(tile);
        row->addWidget(tile);
    }
    row->addStretch();
    return group;
}

void checkValue(QButtonGroup* group, const QString& value) {
    for (QAbstractButton* button : group->buttons()) {
        const QSignalBlocker block(button);
        button->setChecked(button->property("value").toString() == value);
    }
}

}  // namespace

SettingsWindow::SettingsWindow(SumSettings& settings, QSettings* frameStorage, LaunchAtLogin launchAtLogin,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      frameStorage_(frameStorage),
      launchAtLogin_(std::move(launchAtLogin)),
      pin_(new WindowPin(this)) {
    setWindowTitle(tr("Settings"));
    setObjectName(QStringLiteral("settingsWindow"));
    resize(720, 480);
    if (frameStorage_) restoreGeometry(frameStorage_->value(QLatin1String(frameKey)).toByteArray());

    showCurrencyGuide = [this] {
        SumCurrencyGuide guide(settings_.engineNumberStyle(), this);
        guide.setPalette(palette());  // a window does not inherit its parent's colours
        guide.setAutoFillBackground(true);
        guide.exec();
    };

    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(tr("Search settings…"));
    search_->setClearButtonEnabled(true);
    sidebar_ = new QListWidget;
    sidebar_->setObjectName(QStringLiteral("sidebar"));
    sidebar_->setFrameShape(QFrame::NoFrame);
    sidebar_->setSpacing(3);
    panes_ = new QStackedWidget;
    for (const SettingsPane& pane : SettingsPanes::all()) {
        auto* item = new QListWidgetItem(pane.title, sidebar_);
        item->setData(Qt::UserRole, pane.id);
    }
    panes_->addWidget(buildGeneral());
    panes_->addWidget(buildShortcut());
    panes_->addWidget(buildRates());
    panes_->addWidget(buildAbout());

    auto* left = new QVBoxLayout;
    left->addWidget(search_);
    left->addWidget(sidebar_);
    auto* leftBox = new QWidget;
    leftBox->setLayout(left);
    leftBox->setFixedWidth(200);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(leftBox);
    layout->addWidget(panes_, 1);

    // The window's keys: Ctrl+W and Escape close it (the recorder takes them while it
    // records); Ctrl+Q quits the program, as from the sheet window.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &SettingsWindow::quitRequested);

    connect(search_, &QLineEdit::textChanged, this, &SettingsWindow::filter);
    connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) panes_->setCurrentIndex(row);
    });
    connect(&settings_, &SumSettings::appearanceChanged, this, [this] {
        showSettings();
        applyTheme();
    });
    for (auto signal : {&SumSettings::numberStyleChanged, &SumSettings::rateKindChanged, &SumSettings::hotkeyChanged,
                        &SumSettings::lastErrorChanged, &SumSettings::rateStatusChanged})
        connect(&settings_, signal, this, &SettingsWindow::showSettings);

    sidebar_->setCurrentRow(0);
    showSettings();
    applyTheme();
}

QWidget* SettingsWindow::buildGeneral() {
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);

    column->addWidget(rowTitle(tr("Appearance")));
    auto* appearanceRow = new QHBoxLayout;
    appearance_ = choiceTiles(this, appearanceRow,
                              {{QStringLiteral("dark"), tr("Dark")},
                               {QStringLiteral("light"), tr("Light")},
                               {QStringLiteral("system"), tr("System")}},
                              appearancePreview);
    column->addLayout(appearanceRow);
    connect(appearance_, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* b) { settings_.setAppearance(b->property("value").toString()); });

    column->addWidget(rowTitle(tr("Number style")));
    auto* styleRow = new QHBoxLayout;
    const QPalette palette = this->palette();
    numberStyle_ = choiceTiles(
        this, styleRow,
        {{QStringLiteral("en"), tr("United States (1,234.5)")}, {QStringLiteral("vi"), tr("Vietnam (1.234,5)")}},
        [palette](const QString& value) {
            return numberPreview(value == QLatin1String("vi") ? QStringLiteral("1.234,5") : QStringLiteral("1,234.5"),
                                 palette);
        });
    column->addLayout(styleRow);
    connect(numberStyle_, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* b) { settings_.setNumberStyle(b->property("value").toString()); });

    auto* currencyRow = new QHBoxLayout;
    currencyRow->addWidget(rowTitle(tr("Default currency")));
    currencyRow->addStretch();
    auto* currency = new QLabel(QStringLiteral("VND (₫)"));
    currency->setObjectName(QStringLiteral("defaultCurrency"));
    currencyRow->addWidget(currency);
    column->addLayout(currencyRow);

    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(rowTitle(tr("Default VND rate")));
    rateRow->addStretch();
    rateKind_ = new QComboBox;
    rateKind_->setObjectName(QStringLiteral("rateKind"));
    rateKind_->addItem(tr("Transfer"), QStringLiteral("transfer"));
    rateKind_->addItem(tr("Buy"), QStringLiteral("buy"));
    rateKind_->addItem(tr("Sell"), QStringLiteral("sell"));
    rateRow->addWidget(rateKind_);
    column->addLayout(rateRow);
    connect(rateKind_, &QComboBox::activated, this,
            [this](int index) { settings_.setRateKind(rateKind_->itemData(index).toString()); });

    auto* loginRow = new QHBoxLayout;
    loginRow->addWidget(rowTitle(tr("Launch at login")));
    loginRow->addStretch();
    loginSwitch_ = new QCheckBox;
    loginSwitch_->setObjectName(QStringLiteral("launchAtLogin"));
    loginSwitch_->setChecked(launchAtLogin_.isEnabled());
    loginRow->addWidget(loginSwitch_);
    column->addLayout(loginRow);
    loginError_ = secondaryText(QStringLiteral("loginError"));
    loginError_->hide();
    errorLabels_ << loginError_;
    column->addWidget(loginError_);
    connect(loginSwitch_, &QCheckBox::clicked, this, &SettingsWindow::flipLaunchAtLogin);

    auto* iconRow = new QHBoxLayout;
    iconRow->addWidget(rowTitle(tr("Show icon in the panel")));
    iconRow->addStretch();
    auto* iconSwitch = new QCheckBox;
    iconSwitch->setObjectName(QStringLiteral("showPanelIcon"));
    // Where the desktop has no panel that shows such icons, the choice means nothing.
    const bool panel = PanelIcon::available();
    iconSwitch->setEnabled(panel);
    iconSwitch->setChecked(panel && settings_.showPanelIcon());
    if (!panel) iconSwitch->setToolTip(tr("This desktop has no panel that shows the icons of programs."));
    iconRow->addWidget(iconSwitch);
    column->addLayout(iconRow);
    connect(iconSwitch, &QCheckBox::clicked, this, [this](bool on) { settings_.setShowPanelIcon(on); });

    column->addStretch();
    return pane;
}

void SettingsWindow::flipLaunchAtLogin(bool on) {
    try {
        launchAtLogin_.setEnabled(on);
        loginError_->clear();
        loginError_->hide();
    } catch (const std::exception& e) {
        loginError_->setText(QString::fromUtf8(e.what()));
        loginError_->show();
    }
    // The entry on disk decides, so a failed change flips the switch back.
    const QSignalBlocker block(loginSwitch_);
    loginSwitch_->setChecked(launchAtLogin_.isEnabled());
}

QWidget* SettingsWindow::buildShortcut() {
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    auto* row = new QHBoxLayout;
    row->addWidget(rowTitle(tr("Window shortcut")));
    row->addStretch();
    recorder_ = new HotkeyRecorder;
    recorder_->setObjectName(QStringLiteral("recorder"));
    recorder_->setMinimumWidth(160);
    connect(recorder_, &HotkeyRecorder::recorded, this,
            [this](const HotKeyPress& press) { settings_.recordHotkey(press); });
    row->addWidget(recorder_);
    column->addLayout(row);
    auto* reset = new QPushButton(tr("Reset to Ctrl+Alt+Space"));
    reset->setObjectName(QStringLiteral("resetShortcut"));
    reset->setToolTip(tr("Reset shortcut"));
    connect(reset, &QPushButton::clicked, this, [this] { settings_.resetHotkey(); });
    auto* resetRow = new QHBoxLayout;
    resetRow->addStretch();
    resetRow->addWidget(reset);
    column->addLayout(resetRow);
    shortcutError_ = secondaryText(QStringLiteral("shortcutError"));
    errorLabels_ << shortcutError_;
    column->addWidget(shortcutError_);
    auto* hint = shortcutHint_ = secondaryText(QStringLiteral("shortcutHint"));
    hint->setText(
        tr("Where the desktop keeps global shortcuts to itself, bind the command "
           "“quibsum toggle” in its keyboard settings instead."));
    column->addWidget(hint);
    column->addStretch();
    return pane;
}

void SettingsWindow::setShortcutAdvice(QWidget* advice) {
    if (shortcutAdvice_ == advice) return;
    if (shortcutAdvice_) shortcutAdvice_->deleteLater();
    shortcutAdvice_ = advice;
    shortcutHint_->setVisible(!advice);
    if (!advice) return;
    auto* column = static_cast<QVBoxLayout*>(shortcutHint_->parentWidget()->layout());
    column->insertWidget(column->indexOf(shortcutHint_) + 1, advice);
}

QWidget* SettingsWindow::buildRates() {
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    column->addWidget(rowTitle(tr("Live rates")));
    rateStatus_ = secondaryText(QStringLiteral("rateStatus"));
    column->addWidget(rateStatus_);
    rateError_ = secondaryText(QStringLiteral("rateError"));
    errorLabels_ << rateError_;
    column->addWidget(rateError_);

    auto* buttons = new QHBoxLayout;
    auto* update = new QPushButton(tr("Update Rates"));
    update->setObjectName(QStringLiteral("updateRates"));
    connect(update, &QPushButton::clicked, this, &SettingsWindow::refreshRequested);
    auto* guide = new QPushButton(tr("How to convert currencies"));
    guide->setObjectName(QStringLiteral("currencyGuideButton"));
    connect(guide, &QPushButton::clicked, this, [this] {
        if (showCurrencyGuide) showCurrencyGuide();
    });
    buttons->addWidget(update);
    buttons->addWidget(guide);
    buttons->addStretch();
    column->addLayout(buttons);
    column->addStretch();
    auto* attribution = secondaryText(QStringLiteral("attribution"));
    attribution->setText(QString::fromUtf8(ERAPIProvider::attribution.data(),
                                           static_cast<qsizetype>(ERAPIProvider::attribution.size())));
    column->addWidget(attribution);
    return pane;
}

QWidget* SettingsWindow::buildAbout() {
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    auto* nameRow = new QHBoxLayout;
    auto* name = new QLabel(QStringLiteral("Quib Sum"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    name->setFont(big);
    nameRow->addWidget(name);
    const QString stage = QString::fromUtf8(QUIBSUM_RELEASE_STAGE);
    if (!stage.isEmpty()) {
        auto* badge = new QLabel(stage);
        badge->setObjectName(QStringLiteral("releaseStage"));
        badge->setStyleSheet(
            QStringLiteral("QLabel { border: 1px solid palette(mid); border-radius: 6px; "
                           "padding: 1px 6px; }"));
        nameRow->addWidget(badge);
    }
    nameRow->addStretch();
    column->addLayout(nameRow);
    auto* version = secondaryText(QStringLiteral("version"));
    version->setText(versionText(QString::fromUtf8(QUIBSUM_VERSION), QString::fromUtf8(QUIBSUM_BUILD)));
    column->addWidget(version);

    // The rows of pages this build has no address for stay hidden (see offerProjectPages).
    supportRow_ = new QWidget;
    supportRow_->setObjectName(QStringLiteral("supportRow"));
    auto* supportRow = new QHBoxLayout(supportRow_);
    supportRow->setContentsMargins(0, 0, 0, 0);
    supportRow->addWidget(rowTitle(tr("Support Quib Sum")));
    supportRow->addStretch();
    auto* donateButton = new QPushButton(tr("Donate…"));
    donateButton->setObjectName(QStringLiteral("donate"));
    connect(donateButton, &QPushButton::clicked, this, &SettingsWindow::donateRequested);
    supportRow->addWidget(donateButton);
    column->addWidget(supportRow_);

    updatesRow_ = new QWidget;
    updatesRow_->setObjectName(QStringLiteral("updatesRow"));
    auto* updatesRow = new QHBoxLayout(updatesRow_);
    updatesRow->setContentsMargins(0, 0, 0, 0);
    updatesRow->addWidget(rowTitle(tr("Updates")));
    updatesRow->addStretch();
    auto* updatesButton = new QPushButton(tr("Check for Updates…"));
    updatesButton->setObjectName(QStringLiteral("checkUpdates"));
    connect(updatesButton, &QPushButton::clicked, this, &SettingsWindow::updatesRequested);
    updatesRow->addWidget(updatesButton);
    column->addWidget(updatesRow_);
    column->addStretch();
    return pane;
}

QString SettingsWindow::versionText(const QString& version, const QString& build) {
    QString text = tr("Version") + QLatin1Char(' ') + version;
    if (!build.isEmpty()) text += QStringLiteral(" (") + build + QLatin1Char(')');
    return text;
}

void SettingsWindow::showSettings() {
    checkValue(appearance_, settings_.appearance());
    checkValue(numberStyle_, settings_.numberStyle());
    {
        const QSignalBlocker block(rateKind_);
        // An unrecognised stored kind converts at the transfer rate, so it shows as Transfer.
        const int index = rateKind_->findData(settings_.rateKind());
        rateKind_->setCurrentIndex(index >= 0 ? index : 0);
    }
    recorder_->setLabel(settings_.hotkeyLabel());
    const QString error = settings_.lastError().value_or(QString());
    for (QLabel* label : {shortcutError_, rateError_}) {
        label->setText(error);
        label->setVisible(!error.isEmpty());
    }
    rateStatus_->setText(settings_.rateStatus());
}

void SettingsWindow::applyTheme() {
    const EditorTheme theme = EditorTheme::forAppearance(settings_.windowAppearance());
    const QPalette p = theme.palette();
    const QColor control = p.color(QPalette::Button);
    setPalette(p);
    setAutoFillBackground(true);
    QPalette errorPalette = p;
    errorPalette.setColor(QPalette::WindowText, theme.color(PaletteRole::error));
    for (QLabel* label : errorLabels_) label->setPalette(errorPalette);
    // A style sheet decides all of the badge's colours or none: they are given here.
    if (auto* badge = findChild<QLabel*>(QStringLiteral("releaseStage")))
        badge->setStyleSheet(
            QStringLiteral("QLabel { color: %1; background: %2; border: 1px solid %3; "
                           "border-radius: 6px; padding: 1px 6px; }")
                .arg(p.color(QPalette::WindowText).name(), control.name(), theme.color(PaletteRole::comment).name()));
    const QPalette tilePalette = p;
    // Style sheets take colours when set, so the tiles' are set here, with the theme's.
    const QString tileStyle = QStringLiteral(
                                  "QToolButton { border: 2px solid transparent; border-radius: 8px; padding: 4px; } "
                                  "QToolButton:checked { border-color: %1; background: %2; }")
                                  .arg(theme.color(PaletteRole::result).name(), control.name());
    for (QButtonGroup* group : {appearance_, numberStyle_})
        for (QAbstractButton* tile : group->buttons()) tile->setStyleSheet(tileStyle);
    for (QAbstractButton* tile : numberStyle_->buttons()) {
        const bool vi = tile->property("value").toString() == QLatin1String("vi");
        tile->setIcon(numberPreview(vi ? QStringLiteral("1.234,5") : QStringLiteral("1,234.5"), tilePalette));
    }
}

void SettingsWindow::filter(const QString& query) {
    const QStringList listed = SettingsPanes::matching(query);
    for (int row = 0; row < sidebar_->count(); ++row) {
        QListWidgetItem* item = sidebar_->item(row);
        item->setHidden(!listed.contains(item->data(Qt::UserRole).toString()));
    }
    // Keep the pane in view when it is still listed, else show the first one found.
    if (!listed.isEmpty() && !listed.contains(selection())) select(listed.first());
}

QStringList SettingsWindow::listedPanes() const {
    QStringList ids;
    for (int row = 0; row < sidebar_->count(); ++row)
        if (!sidebar_->item(row)->isHidden()) ids << sidebar_->item(row)->data(Qt::UserRole).toString();
    return ids;
}

QString SettingsWindow::selection() const {
    QListWidgetItem* item = sidebar_->item(panes_->currentIndex());
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void SettingsWindow::select(const QString& paneID) {
    for (int row = 0; row < sidebar_->count(); ++row)
        if (sidebar_->item(row)->data(Qt::UserRole).toString() == paneID) sidebar_->setCurrentRow(row);
}

void SettingsWindow::setPinned(bool pinned) { pin_->setPinned(pinned); }

bool SettingsWindow::isPinned() const { return pin_->isPinned(); }

void SettingsWindow::offerProjectPages(bool donate, bool updates) {
    offersDonate_ = donate;
    offersUpdates_ = updates;
    showLinkRows();
}

void SettingsWindow::showLinkRows() {
    supportRow_->setVisible(offersDonate_);
    updatesRow_->setVisible(offersUpdates_);
}

void SettingsWindow::present() {
    showLinkRows();
    // The switch follows the entry, which the desktop's own settings may have changed.
    {
        const QSignalBlocker block(loginSwitch_);
        loginSwitch_->setChecked(launchAtLogin_.isEnabled());
    }
    show();
    raise();
    activateWindow();
}

void SettingsWindow::hideEvent(QHideEvent* event) {
    if (frameStorage_) frameStorage_->setValue(QLatin1String(frameKey), saveGeometry());
    QWidget::hideEvent(event);
}

}  // namespace quibsum
