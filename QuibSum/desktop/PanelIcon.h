#pragma once
// PanelIcon: the running application's icon in the desktop's panel (the StatusNotifierItem
// that KDE, Xfce, Cinnamon and GNOME with the AppIndicator extension show; the X11 tray
// elsewhere). A click asks for the window to be toggled; its menu offers the window, a new
// sheet, a rate update, the settings and quitting. It only asks: the application decides.
// Never the only way back: a second launch still shows the window.

#include <QObject>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace quibsum {

class PanelIcon : public QObject {
    Q_OBJECT
public:
    explicit PanelIcon(QObject* parent = nullptr);
    ~PanelIcon() override;

    // Whether the desktop has a panel that shows such icons.
    static bool available();

    // Shows the icon when `wanted` and the desktop can show it; hides it otherwise.
    void setWanted(bool wanted);
    bool isShown() const;
    QMenu* menu() const { return menu_.get(); }

signals:
    void toggleRequested();
    void showRequested();
    void newSheetRequested();
    void updateRatesRequested();
    void settingsRequested();
    void quitRequested();

private:
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_;
};

}  // namespace quibsum
