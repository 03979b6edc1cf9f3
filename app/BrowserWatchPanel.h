#pragma once
// The Options dialog's part for the room's browsers: "Let browsers watch" runs the room's
// web server inside Quorix on the folder it writes to, and shows the addresses to open on
// a phone or laptop, the first as a QR code; "Show the address to the room" sends a
// picture of that address and code to the viewers. The choice, the port and the room code
// are the presenter's own settings (QSettings), never written into the shared folder. The
// server keeps running while the dialog is closed, and follows a change of folder.
#include <QImage>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quorix {

class MainWindow;
class WebServer;

class BrowserWatchPanel : public QWidget
{
    Q_OBJECT

  public:
    // The panel's height in the Options dialog.
    static constexpr int kHeight = 150;

    BrowserWatchPanel(MainWindow *main, QWidget *parent);
    ~BrowserWatchPanel() override;

    bool serving() const;
    quint16 port() const;
    // The addresses a browser opens, the machine's own non-loopback ones first.
    QStringList addresses() const { return addresses_; }
    // The picture "Show the address to the room" sends.
    QImage addressPicture() const;

  private:
    void setupLayout();
    void apply();
    void showAddresses();
    void store();

    // The widgets, each with the object name of its member without the underscore.
    QCheckBox *letBrowsersWatchBox_ = nullptr;
    QSpinBox *portBox_ = nullptr;
    QLineEdit *roomCodeEdit_ = nullptr;
    QLabel *addressLabel_ = nullptr;
    QLabel *qrLabel_ = nullptr;
    QPushButton *showAddressButton_ = nullptr;

    MainWindow *main_;
    WebServer *server_ = nullptr;
    QStringList addresses_;
};

} // namespace quorix
