#pragma once

#include "import/rules/customerfields.h"

#include <QStringList>

namespace brevik::testing {

// The writer's look-up and allocation as plainly as they can be written: the client is looked
// up by reading CLIENT from its first row to its last, and a new client's number comes from
// reading every number of the table. The customer's rows are then written by a writer of the
// program's own, new for each customer, so that it keeps nothing from one customer to the
// next. Where that writer matched another client, or gave another number, than the plain rules
// decided, or did not first say what their reading of the table says, that shows among the
// messages.
class ReferenceWriter
{
public:
    // Returns false when the database could not be opened.
    bool AddClient(WindowValues& values);

    QStringList messages;
};

} // namespace brevik::testing
