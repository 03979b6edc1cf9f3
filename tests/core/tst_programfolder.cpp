// Which folders may hold the program's own files: only a folder that belongs to the user
// alone, and never the folder an installed program lives in.
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quorix;

using Perm = QFileDevice::Permission;

class TestProgramFolder : public QObject
{
    Q_OBJECT

  private slots:
    void madeFolders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("permissions");
        QTest::addColumn<bool>("own");
        const int rwxUser = Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner | Perm::ReadUser |
                            Perm::WriteUser | Perm::ExeUser;
        const int rxGroupOther =
            Perm::ReadGroup | Perm::ExeGroup | Perm::ReadOther | Perm::ExeOther;
        QTest::newRow("private") << "prog" << rwxUser << true;
        QTest::newRow("readable by all") << "prog" << (rwxUser | rxGroupOther) << true;
        QTest::newRow("group may write")
            << "prog" << (rwxUser | rxGroupOther | Perm::WriteGroup) << false;
        QTest::newRow("anyone may write")
            << "prog" << (rwxUser | rxGroupOther | Perm::WriteGroup | Perm::WriteOther) << false;
        QTest::newRow("read-only")
            << "prog" << int(Perm::ReadOwner | Perm::ExeOwner | Perm::ReadUser | Perm::ExeUser)
            << false;
        QTest::newRow("a bin folder") << "bin" << rwxUser << false;
        QTest::newRow("an sbin folder") << "sbin" << (rwxUser | rxGroupOther) << false;
    }
    void madeFolders()
    {
        QFETCH(QString, name);
        QFETCH(int, permissions);
        QFETCH(bool, own);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(name);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(permissions)));
        QCOMPARE(isOwnProgramFolder(folder), own);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }

    void notAFolder()
    {
        QTemporaryDir tmp;
        QFile file(tmp.filePath("quorix"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!isOwnProgramFolder(file.fileName()));
        QVERIFY(!isOwnProgramFolder(tmp.filePath("missing")));
    }

    // Installed programs: never beside themselves, whoever runs them (root may write there).
    void systemFolders_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("/usr/bin") << "/usr/bin";
        QTest::newRow("/usr/lib") << "/usr/lib";
        QTest::newRow("/bin") << "/bin";
        QTest::newRow("/usr/local/bin") << "/usr/local/bin";
    }
    void systemFolders()
    {
        QFETCH(QString, folder);
        if (!QFileInfo(folder).isDir())
            QSKIP("not on this machine");
        QVERIFY(!isOwnProgramFolder(folder));
    }

    // A folder of another account is shared with that account.
    void anotherUsersFolder()
    {
        if (geteuid() != 0)
            QSKIP("needs root to hand a folder to another user");
        QTemporaryDir tmp;
        QVERIFY(chown(QFile::encodeName(tmp.path()).constData(), 65534, 65534) == 0);
        QVERIFY(!isOwnProgramFolder(tmp.path()));
    }

    void overrideWins()
    {
        QTemporaryDir tmp;
        setProgramFolderOverride(tmp.path());
        QCOMPARE(programFolderPath(), tmp.path() + QLatin1Char('/'));
        setProgramFolderOverride(QString());
        QVERIFY(programFolderPath() != tmp.path() + QLatin1Char('/'));
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
