#pragma once

#include "mainwindowfixture.h"
#include "support/testexport.h"
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
    TestExport rows;
    for (int i = 0; i < count; ++i)
        rows.customer({{2, QByteArray::number(100 + i)},
                       {5, "Customer " + QByteArray::number(i)},
                       {6, "12 Oak St"},
                       {7, "Suite 4"},
                       {8, "Springfield, IL 62704"},
                       {15, "217-555-0147"}});
    return rows.bytes();
}

inline void createDatabase(const QString& folder)
{
    QVERIFY(db::createDatabase(joinFolderAndFile(folder, QStringLiteral("zrdata.mdb"))).ok());
}

} // namespace brevik::testing
