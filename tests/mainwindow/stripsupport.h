#pragma once

#include "mainwindowfixture.h"
#include "support/testsupport.h"

#include "import/paths.h"
#include "import/writer/schema.h"

#include <QPushButton>

namespace brevik::testing {

// Selects the export and presses START, which leaves STRIP on view.
inline void selectAndStart(MainWindowFixture& f, ui::frmBrevik& w, const QString& exportFile)
{
    f.dialogAnswer = exportFile;
    w.Command1_Click();
    w.cmdStart_Click();
    QVERIFY(!w.cmdStrip->isHidden());
}

// An export of plain customer rows, each with a name, an address, a city line and a telephone.
inline QByteArray customerRows(int count)
{
    QByteArray rows;
    for (int i = 0; i < count; ++i)
        rows += "CUST\t" + QByteArray::number(100 + i) + "\t\t\tCustomer " + QByteArray::number(i) +
                "\t12 Oak St\tSuite 4\tSpringfield, IL 62704\t\t\t\t\t\t\t217-555-0147\t\r\n";
    return rows;
}

// Writes the export into the folder and returns its path.
inline QString writeExport(const QTemporaryDir& folder, const QByteArray& rows)
{
    const QString path = folder.filePath(QStringLiteral("list.iif"));
    if (!writeBytes(path, rows))
        qWarning("Could not write the export %s", qPrintable(path));
    return path;
}

inline void createDatabase(const QString& folder)
{
    QVERIFY(db::createDatabase(joinFolderAndFile(folder, QStringLiteral("zrdata.mdb"))).ok());
}

} // namespace brevik::testing
