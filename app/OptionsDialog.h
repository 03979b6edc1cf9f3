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

class OptionsDialog : public ModalDialog
{
    Q_OBJECT

  public:
    OptionsDialog(MainWindow *main, QWidget *parent = nullptr);

    void setAbout(AboutBox *about) { fabout_ = about; }
    // How many times the dialog has finished reading the settings (on showing, and on
    // coming back from the About box).
    int activations() const { return activations_; }

    void FormActivate();
    void BitBtn2Click();
    void BitBtn1Click();
    void SpeedButton2Click();
    void BitBtn3Click();

    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *rb1 = nullptr, *rb2 = nullptr;
    QCheckBox *cb4 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *cb10 = nullptr;
    QLineEdit *e_text = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *e_folder = nullptr;
    QPushButton *BitBtn3 = nullptr, *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *cb1 = nullptr, *cb2 = nullptr, *cb3 = nullptr;
    FolderChooser *bff = nullptr;

  protected:
    void showEvent(QShowEvent *e) override;

  private:
    void setupLayout();

    MainWindow *main_;
    AboutBox *fabout_ = nullptr;
    int activations_ = 0;
};

} // namespace quorix
