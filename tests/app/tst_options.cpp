// The Options dialog: what it shows from the viewer settings file, what OK writes,
// Cancel, Browse and the About box.
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"

#include "controls/FolderChooser.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>

using namespace quorix;

class TestOptions : public QObject
{
    Q_OBJECT

    // Shows the dialog as the Options button does and lets `inside` act on it.
    static void visit(AppFixture &app, const std::function<void(OptionsDialog *)> &inside)
    {
        const int before = app.options->activations();
        // Activation reads the files and lets other events run while it does: answer once
        // it is through.
        answerModal<OptionsDialog>(
            [inside](OptionsDialog *o) {
                inside(o);
                if (o->isVisible()) // a failed check above must not leave the dialog open
                    o->onCancelClicked();
            },
            10000, [before](OptionsDialog *o) { return o->activations() > before; });
        app.main->openOptionsPausingSources();
    }

  private slots:
    void okWritesBothFilesExactly()
    {
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "1", "0", "1", "0", "0", "old", "1"});
        app.main->startUp();
        visit(app, [](OptionsDialog *o) {
            QVERIFY(o->stretchBox_->isChecked() && !o->centreBox_->isChecked() &&
                    o->autoSizeBox_->isChecked());
            QVERIFY(o->sizeableButton_->isChecked());
            QVERIFY(!o->scrollTextVisibleBox_->isChecked());
            QCOMPARE(o->scrollTextEdit_->text(), QStringLiteral("old"));
            o->scrollTextVisibleBox_->setChecked(true);
            o->scrollTextEdit_->setText(QString());
            o->fullScreenButton_->setChecked(true);
            o->okButton_->click();
        });
        const QByteArray expected =
            (app.shared() + "shar.bmp\r\n1\r\n0\r\n1\r\n1\r\n1\r\n\r\n0\r\n").toLocal8Bit();
        QCOMPARE(readWholeFile(app.shared() + "quorix.cfg"), expected);
        QCOMPARE(readWholeFile(app.program("qx.cfg")),
                 (app.shared() + "quorix.cfg\r\n").toLocal8Bit());
        QCOMPARE(app.options->modalResult(), ModalResult::Ok);
    }

    // "Only Quorix viewers in this room": off at first; OK keeps it in the program's own
    // settings (not in quorix.cfg) and sends pictures without shar.bmp from then on, also
    // after the next start; Cancel changes nothing.
    void onlyQuorixViewersIsKeptByOk()
    {
        QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix")).remove("OnlyQuorixViewers");
        {
            AppFixture app;
            app.configure();
            app.main->startUp();
            QVERIFY(!app.main->state().onlyQuorixViewers);
            const QByteArray settingsBefore = readWholeFile(app.shared() + "quorix.cfg");
            visit(app, [](OptionsDialog *o) {
                QVERIFY(!o->onlyQuorixViewersBox_->isChecked());
                o->onlyQuorixViewersBox_->setChecked(true);
                o->okButton_->click();
            });
            QVERIFY(app.main->state().onlyQuorixViewers);
            QCOMPARE(readWholeFile(app.shared() + "quorix.cfg"), settingsBefore);
            QCOMPARE(QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
                         .value("OnlyQuorixViewers")
                         .toBool(),
                     true);
            QImage picture(16, 9, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            app.main->state().sendBitmap(picture);
            QVERIFY(QFileInfo::exists(app.shared() + "shar.png"));
            QVERIFY(!QFileInfo::exists(app.shared() + "shar.bmp"));
        }
        AppFixture again;
        again.configure();
        again.main->startUp();
        QVERIFY(again.main->state().onlyQuorixViewers);
        visit(again, [](OptionsDialog *o) {
            QVERIFY(o->onlyQuorixViewersBox_->isChecked());
            o->onlyQuorixViewersBox_->setChecked(false);
            o->cancelButton_->click();
        });
        QVERIFY(again.main->state().onlyQuorixViewers);
        visit(again, [](OptionsDialog *o) {
            QVERIFY(o->onlyQuorixViewersBox_->isChecked());
            o->onlyQuorixViewersBox_->setChecked(false);
            o->okButton_->click();
        });
        QVERIFY(!again.main->state().onlyQuorixViewers);
    }

    void controlsKeepWhatTheFileCannotChange()
    {
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "1", "0", "0", "1", "1", "x", "0"});
        app.main->startUp();
        visit(app, [](OptionsDialog *o) { o->onCancelClicked(); });
        // "0" cannot untick a box; a line 4 that is no non-zero number is a sizeable window,
        // as the viewers take it.
        app.configure({app.shared() + "shar.bmp", "0", "0", "0", "maybe", "0", "", "0"});
        visit(app, [](OptionsDialog *o) {
            QVERIFY(o->stretchBox_->isChecked());
            QVERIFY(o->sizeableButton_->isChecked());
            QVERIFY(!o->scrollTextVisibleBox_->isChecked());
            o->onCancelClicked();
        });
        QCOMPARE(app.options->modalResult(), ModalResult::Cancel);
    }

    // The dialog reads quorix.cfg as the viewers do: any non-zero whole number is on.
    void fileMeansWhatItMeansToTheViewers()
    {
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "2", " 1 ", "0", "-1", "7", "t", "0"});
        app.main->startUp();
        visit(app, [](OptionsDialog *o) {
            QVERIFY(o->stretchBox_->isChecked());
            QVERIFY(o->centreBox_->isChecked());
            QVERIFY(o->fullScreenButton_->isChecked());
            QVERIFY(o->scrollTextVisibleBox_->isChecked());
            QCOMPARE(o->scrollTextEdit_->text(), QStringLiteral("t"));
            o->onCancelClicked();
        });
    }

    void cancelWritesNothing()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        const QByteArray before = readWholeFile(app.shared() + "quorix.cfg");
        visit(app, [](OptionsDialog *o) {
            o->scrollTextEdit_->setText("changed");
            QTest::keyClick(o, Qt::Key_Escape);
        });
        QCOMPARE(readWholeFile(app.shared() + "quorix.cfg"), before);
        QCOMPARE(app.options->modalResult(), ModalResult::Cancel);
    }

    void browseTakesTheFolderAtOnceAndCancelKeepsIt()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        QTemporaryDir other;
        visit(app, [&](OptionsDialog *o) {
            answerModal<QFileDialog>([&](QFileDialog *d) {
                d->setDirectory(other.path());
                d->selectFile(other.path());
                static_cast<QDialog *>(d)->done(QDialog::Accepted);
            });
            o->browseButton_->click();
            QCOMPARE(o->folderEdit_->text(), other.path() + "/");
            QCOMPARE(app.main->sharedFolder(), other.path() + "/");
            QCOMPARE(o->folderChooser_->directory, other.path());
            o->cancelButton_->click();
        });
        QCOMPARE(app.main->sharedFolder(), other.path() + "/");
        // Opening the dialog again restores the folder from the viewer settings file.
        visit(app, [&](OptionsDialog *o) {
            QCOMPARE(o->folderEdit_->text(), app.shared());
            o->onCancelClicked();
        });
        QCOMPARE(app.main->sharedFolder(), app.shared());
    }

    // The chooser opens on a folder that exists: the shared folder once there is one,
    // otherwise the desktop folder or, without one, the home folder.
    void chooserStartsInAFolderThatExists()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        QString opened;
        visit(app, [&](OptionsDialog *o) {
            answerModal<QFileDialog>([&](QFileDialog *d) {
                opened = d->selectedFiles().value(0);
                d->reject();
            });
            o->browseButton_->click();
            o->onCancelClicked();
        });
        QCOMPARE(opened + '/', app.shared());

        FolderChooser chooser(nullptr);
        chooser.rootFolder = FolderChooser::foDesktop;
        chooser.directory = app.shared() + "gone";
        answerModal<QFileDialog>([&](QFileDialog *d) {
            opened = d->directory().absolutePath();
            d->reject();
        });
        QVERIFY(!chooser.choose());
        QVERIFY2(QFileInfo(opened).isDir(), qPrintable(opened));
    }

    // With no shared folder chosen, OK writes nothing anywhere (not into the current
    // folder) and says why; the dialog stays open.
    void okWithoutASharedFolderWritesNothing()
    {
        AppFixture app;
        QTemporaryDir cwd;
        const QString before = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        QString report;
        visit(app, [&](OptionsDialog *o) {
            answerModal<QMessageBox>([&](QMessageBox *box) {
                report = box->text();
                box->accept();
            });
            o->okButton_->click();
            QVERIFY(o->isVisible());
        });
        QDir::setCurrent(before);
        QVERIFY2(report.contains("shared folder", Qt::CaseInsensitive), qPrintable(report));
        QVERIFY(QDir(cwd.path()).isEmpty());
        QVERIFY(!fileExists(app.program("qx.cfg")));
    }

    void browseCancelledChangesNothing()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        visit(app, [&](OptionsDialog *o) {
            answerModal<QFileDialog>([](QFileDialog *d) { d->reject(); });
            o->browseButton_->click();
            QCOMPARE(o->folderEdit_->text(), app.shared());
            o->onCancelClicked();
        });
        QCOMPARE(app.main->sharedFolder(), app.shared());
    }

    void newFolderIsCreatedAndChosen()
    {
        QTemporaryDir base;
        FolderChooser chooser(nullptr);
        chooser.options = FolderChooser::boStatusText | FolderChooser::boNewFolder;
        chooser.directory = base.path();
        int opened = 0;
        connect(&chooser, &FolderChooser::browserOpened, this, [&](QFileDialog *d) {
            ++opened;
            if (opened == 1) {
                // The status line names the selected folder; "New Folder..." asks a name.
                answerModal<QInputDialog>([](QInputDialog *in) {
                    QCOMPARE(in->windowTitle(), QStringLiteral("New Folder"));
                    QCOMPARE(in->labelText(), QStringLiteral("Enter the name of the new folder"));
                    in->setTextValue("talks/2026");
                    in->accept();
                });
                d->findChild<QPushButton *>("newFolder")->click();
            } else {
                static_cast<QDialog *>(d)->done(QDialog::Accepted);
            }
        });
        QVERIFY(chooser.choose());
        QCOMPARE(opened, 2); // the chooser opens again with the new folder selected
        QVERIFY(QFileInfo(base.path() + "/talks/2026").isDir());
        QCOMPARE(chooser.directory, base.path() + "/talks/2026");
    }

    void folderThatCannotBeMadeFails()
    {
        QTemporaryDir base;
        writeWholeFile(base.path() + "/file", "x"); // a file where a folder should go
        QVERIFY(!FolderChooser::createFolder(base.path() + "/file/sub"));
        QVERIFY(FolderChooser::createFolder(base.path() + "/a/b/"));
        QVERIFY(QFileInfo(base.path() + "/a/b").isDir());
    }

    void okIntoUnwritableFolderReportsAndStaysOpen()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        const QByteArray pointer = readWholeFile(app.program("qx.cfg"));
        app.main->setSharedFolder(app.shared() + "missing/");
        QString report;
        bool stillOpen = false;
        visit(app, [&](OptionsDialog *o) {
            app.main->setSharedFolder(app.shared() + "missing/");
            answerModal<QMessageBox>([&](QMessageBox *b) {
                report = b->text();
                b->accept();
            });
            o->okButton_->click();
            QTRY_VERIFY(!report.isEmpty());
            stillOpen = o->isVisible();
            o->onCancelClicked();
        });
        QVERIFY2(report.contains("quorix.cfg"), qPrintable(report));
        QVERIFY(stillOpen);
        QCOMPARE(readWholeFile(app.program("qx.cfg")), pointer);
    }

    void aboutReactivatesTheDialog()
    {
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "0", "0", "0", "1", "1", "from file", "0"});
        app.main->startUp();
        QString afterAbout;
        visit(app, [&](OptionsDialog *o) {
            o->scrollTextEdit_->setText("typed");
            answerModal<AboutBox>([](AboutBox *a) {
                QCOMPARE(a->windowTitle(), QStringLiteral("About"));
                a->okButton_->click();
            });
            const int shown = o->activations();
            o->aboutButton_->click();
            QTRY_VERIFY(o->activations() > shown);
            afterAbout = o->scrollTextEdit_->text();
            o->onCancelClicked();
        });
        QCOMPARE(afterAbout, QStringLiteral("from file"));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
