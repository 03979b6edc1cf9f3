#pragma once
// The Options dialog: where the presenter chooses the shared folder and the settings the
// viewers read. OK writes the viewer settings file into the shared folder and the pointer
// file beside the program.
#include "controls/ModalDialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quorix {

class FolderChooser;
class MainWindow;
class AboutBox;
class BrowserWatchPanel;

class OptionsDialog : public ModalDialog
{
    Q_OBJECT

  public:
    OptionsDialog(MainWindow *main, QWidget *parent = nullptr);

    void setAbout(AboutBox *about) { aboutBox_ = about; }
    // How many times the dialog has finished reading the settings (on showing, and on
    // coming back from the About box).
    int activations() const { return activations_; }

    void readSettings();
    void onOkClicked();
    void onCancelClicked();
    void chooseSharedFolder();
    void showAbout();

  protected:
    void showEvent(QShowEvent *e) override;

  private:
    void setupLayout();

    // The widgets, each with the object name of its member without the underscore.
    QGroupBox *viewerScreenBox_ = nullptr;
    QRadioButton *fullScreenButton_ = nullptr, *sizeableButton_ = nullptr;
    QCheckBox *dialogBorderBox_ = nullptr;
    // Pictures go out without shar.bmp: the presenter's own setting, not the viewers'.
    QCheckBox *onlyQuorixViewersBox_ = nullptr;
    QGroupBox *scrollTextBox_ = nullptr;
    QLabel *scrollTextLabel_ = nullptr;
    QCheckBox *scrollTextVisibleBox_ = nullptr;
    QLineEdit *scrollTextEdit_ = nullptr;
    QToolButton *browseButton_ = nullptr;
    QLabel *folderLabel_ = nullptr;
    QLineEdit *folderEdit_ = nullptr;
    QPushButton *aboutButton_ = nullptr, *cancelButton_ = nullptr, *okButton_ = nullptr;
    QGroupBox *imageBox_ = nullptr;
    QCheckBox *stretchBox_ = nullptr, *centreBox_ = nullptr, *autoSizeBox_ = nullptr;
    FolderChooser *folderChooser_ = nullptr;
    BrowserWatchPanel *browserWatchPanel_ = nullptr;

    MainWindow *main_;
    AboutBox *aboutBox_ = nullptr;
    int activations_ = 0;
};

} // namespace quorix
