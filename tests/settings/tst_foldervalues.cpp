#include "platform/drives.h"

#include <QTest>

using brevik::PathStyle;

Q_DECLARE_METATYPE(brevik::PathStyle)

// Which values count as a chosen folder, and which drive holds one, with drive letters and on a
// system with one root.
class tst_FolderValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validity_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("withDriveLetters");
        QTest::addColumn<bool>("withOneRoot");
        QTest::newRow("drive path") << QStringLiteral("C:\\Orvella\\Data") << true << false;
        QTest::newRow("drive root") << QStringLiteral("C:\\") << true << false;
        QTest::newRow("colon anywhere") << QStringLiteral("Data:old") << true << false;
        QTest::newRow("absolute path") << QStringLiteral("/srv/orvella") << false << true;
        QTest::newRow("root") << QStringLiteral("/") << false << true;
        QTest::newRow("absolute with colon") << QStringLiteral("/mnt/c:") << true << true;
        QTest::newRow("network path") << QStringLiteral("\\\\server\\orvella") << false << false;
        QTest::newRow("relative") << QStringLiteral("orvella/data") << false << false;
        QTest::newRow("leading space") << QStringLiteral(" /srv") << false << false;
        QTest::newRow("placeholder") << QStringLiteral("No Folder Selected") << false << false;
        QTest::newRow("empty") << QString() << false << false;
    }

    void validity()
    {
        QFETCH(QString, value);
        QFETCH(bool, withDriveLetters);
        QFETCH(bool, withOneRoot);
        QCOMPARE(brevik::isValidFolder(value, PathStyle::DriveLetters), withDriveLetters);
        QCOMPARE(brevik::isValidFolder(value, PathStyle::SingleRoot), withOneRoot);
    }

    void placeholderIsNeverValid()
    {
        QCOMPARE(brevik::noFolderSelected(), QStringLiteral("No Folder Selected"));
        QVERIFY(!brevik::isValidFolder(brevik::noFolderSelected()));
    }

    void drive_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<PathStyle>("style");
        QTest::addColumn<QString>("drive");
        QTest::newRow("letter") << QStringLiteral("C:\\Orvella") << PathStyle::DriveLetters
                                << QStringLiteral("C:");
        QTest::newRow("lower-case letter")
            << QStringLiteral("d:\\qb") << PathStyle::DriveLetters << QStringLiteral("d:");
        QTest::newRow("up to the first colon")
            << QStringLiteral("AB:\\x:y") << PathStyle::DriveLetters << QStringLiteral("AB:");
        QTest::newRow("no colon") << QStringLiteral("\\\\server\\x") << PathStyle::DriveLetters << QString();
        QTest::newRow("root volume") << QStringLiteral("/home/op/data") << PathStyle::SingleRoot
                                     << QStringLiteral("/");
        QTest::newRow("mounted volume")
            << QStringLiteral("/mnt/usb/qb") << PathStyle::SingleRoot << QStringLiteral("/mnt/usb");
        QTest::newRow("volume root itself")
            << QStringLiteral("/mnt/usb") << PathStyle::SingleRoot << QStringLiteral("/mnt/usb");
        QTest::newRow("longest volume wins") << QStringLiteral("/mnt/usb/inner/a") << PathStyle::SingleRoot
                                             << QStringLiteral("/mnt/usb/inner");
        QTest::newRow("name that only starts alike")
            << QStringLiteral("/mnt/usbstick/a") << PathStyle::SingleRoot << QStringLiteral("/");
        QTest::newRow("root with its slash")
            << QStringLiteral("/srv/orvella") << PathStyle::SingleRoot << QStringLiteral("/srv/");
        QTest::newRow("relative path") << QStringLiteral("orvella") << PathStyle::SingleRoot << QString();
    }

    void drive()
    {
        QFETCH(QString, value);
        QFETCH(PathStyle, style);
        QFETCH(QString, drive);
        const QStringList roots = {QStringLiteral("/"), QStringLiteral("/mnt/usb"),
                                   QStringLiteral("/mnt/usb/inner"), QStringLiteral("/srv/")};
        QCOMPARE(brevik::driveOf(value, style, roots), drive);
    }
};

QTEST_GUILESS_MAIN(tst_FolderValues)
#include "tst_foldervalues.moc"
