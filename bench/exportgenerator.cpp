#include "exportgenerator.h"

#include <QFile>

#include <span>

namespace brevik::bench {
namespace {

using Pool = std::span<const char* const>;

// "\xE9" and "\xFC" are e acute and u umlaut in Windows-1252, as the export writes them.
constexpr const char* places[] = {
    "Bayshore",     "Springfield", "Oakridge", "Riverside", "Maple",      "Cedar",     "Harbor",
    "Summit",       "Valley",      "Lakeview", "Northgate", "Westfield",  "Eastwood",  "Southport",
    "Pinecrest",    "Brookside",   "Fairview", "Hillcrest", "Meadow",     "Granite",   "Silver",
    "Golden",       "Redwood",     "Willow",   "Aspen",     "Birch",      "Copper",    "Ironwood",
    "Stonebridge",  "Clearwater",  "Bluebird", "Sunrise",   "Sunset",     "Prairie",   "Canyon",
    "Coastal",      "Metro",       "Uptown",   "Midtown",   "Liberty",    "Heritage",  "Pioneer",
    "Frontier",     "Evergreen",   "Highland", "Lowland",   "Orchard",    "Vineyard",  "Seaside",
    "Bridgeport",   "Kingston",    "Ashford",  "Belmont",   "Carlton",    "Dover",     "Easton",
    "Franklin",     "Glendale",    "Hampton",  "Jasper",    "Kensington", "Lancaster", "Madison",
    "Newport",      "Oxford",      "Preston",  "Quincy",    "Rockford",   "Salem",     "Trenton",
    "Union",        "Vernon",      "Windsor",  "York",      "Alder",      "Beacon",    "Crescent",
    "Delta",        "Ember",       "Falcon",   "Garnet",    "Hawthorne",  "Indigo",    "Juniper",
    "Keystone",     "Laurel",      "Magnolia", "Nordic",    "Onyx",       "Pebble",    "Quarry",
    "Raven",        "Sapphire",    "Timber",   "Upland",    "Verde",      "Wren",      "Zenith",
    "Caf\xE9 Nord", "M\xFCller",
};
constexpr const char* trades[] = {
    "Water",       "Hardware", "Lumber",       "Plumbing",   "Electric",   "Dental",       "Bakery",
    "Cafe",        "Nursery",  "Auto",         "Tire",       "Glass",      "Paint",        "Roofing",
    "Landscaping", "Cleaning", "Catering",     "Printing",   "Signs",      "Marine",       "Farm",
    "Feed",        "Pharmacy", "Optical",      "Veterinary", "Fitness",    "Music",        "Books",
    "Florist",     "Jewelers", "Tailors",      "Shoes",      "Furniture",  "Flooring",     "Tile",
    "Stone",       "Concrete", "Steel",        "Welding",    "Machine",    "Tool",         "Supply",
    "Office",      "Computer", "Network",      "Security",   "Alarm",      "Heating",      "Cooling",
    "Pool",        "Spa",      "Salon",        "Barber",     "Laundry",    "Storage",      "Moving",
    "Freight",     "Courier",  "Travel",       "Realty",     "Insurance",  "Accounting",   "Legal",
    "Medical",     "Clinic",   "Chiropractic", "Therapy",    "Pediatrics", "Orthodontics", "Kennel",
    "Grooming",    "Pet",      "Garden",       "Seed",       "Grain",      "Dairy",        "Produce",
    "Meat",        "Seafood",  "Deli",         "Pizza",      "Grill",      "Brewing",      "Winery",
    "Coffee",      "Tea",      "Candy",        "Toys",       "Games",      "Sports",       "Outfitters",
};
constexpr const char* suffixes[] = {
    "Inc",  "LLC",      "Co",     "Company", "Group",     "Supply",  "Services", "& Sons",
    "Ltd",  "Partners", "Works",  "Shop",    "Store",     "Center",  "Studio",   "Associates",
    "Corp", "Depot",    "Market", "Outlet",  "Solutions", "Systems", "Brothers", "Mart",
};
constexpr const char* regions[] = {
    "Illinois",         "Northern California", "the Tri-County Area",
    "Greater Boston",   "Central Texas",       "the Pacific Northwest",
    "Southern Florida", "the Ohio Valley",     "Western Pennsylvania",
    "the Front Range",  "Upstate New York",    "the Gulf Coast",
};
constexpr const char* lastNames[] = {
    "Lindqvist", "Whitfield", "Andres",   "Aubert",    "Kuptana",   "O'Neill",  "Park",       "Cho",
    "Baxter",    "Roth",      "Garcia",   "Nguyen",    "Smith",     "Johnson",  "Williams",   "Brown",
    "Jones",     "Miller",    "Davis",    "Martinez",  "Lopez",     "Wilson",   "Anderson",   "Thomas",
    "Taylor",    "Moore",     "Jackson",  "Martin",    "Lee",       "Perez",    "Thompson",   "White",
    "Harris",    "Sanchez",   "Clark",    "Ramirez",   "Lewis",     "Robinson", "Walker",     "Young",
    "Allen",     "King",      "Wright",   "Scott",     "Torres",    "Hill",     "Flores",     "Green",
    "Adams",     "Nelson",    "Baker",    "Hall",      "Rivera",    "Campbell", "Mitchell",   "Carter",
    "Roberts",   "Gomez",     "Phillips", "Evans",     "Turner",    "Diaz",     "Parker",     "Cruz",
    "Edwards",   "Collins",   "Reyes",    "Stewart",   "Morris",    "Morales",  "Murphy",     "Cook",
    "Rogers",    "Gutierrez", "Ortiz",    "Morgan",    "Cooper",    "Peterson", "Bailey",     "Reed",
    "Kelly",     "Howard",    "Ramos",    "Kim",       "Cox",       "Ward",     "Richardson", "Watson",
    "Brooks",    "Chavez",    "Wood",     "James",     "Bennett",   "Gray",     "Mendoza",    "Ruiz",
    "Hughes",    "Price",     "Alvarez",  "Castillo",  "Sanders",   "Patel",    "Myers",      "Long",
    "Ross",      "Foster",    "Jimenez",  "Powell",    "Jenkins",   "Perry",    "Russell",    "Sullivan",
    "Bell",      "Coleman",   "Butler",   "Henderson", "Barnes",    "Gonzales", "Fisher",     "Vasquez",
    "Simmons",   "Romero",    "Jordan",   "Patterson", "Alexander", "Hamilton", "Graham",     "Reynolds",
    "M\xFCller", "Bj\xF6rk",
};
constexpr const char* firstNames[] = {
    "Maja",    "Dana",      "Cristina", "Ren\xE9",   "Sam",     "Pat",      "Lee",      "Amy",
    "Jo",      "Nina",      "James",    "Mary",      "John",    "Patricia", "Robert",   "Jennifer",
    "Michael", "Linda",     "David",    "Elizabeth", "William", "Barbara",  "Richard",  "Susan",
    "Joseph",  "Jessica",   "Thomas",   "Sarah",     "Charles", "Karen",    "Chris",    "Lisa",
    "Daniel",  "Nancy",     "Matthew",  "Betty",     "Anthony", "Sandra",   "Mark",     "Ashley",
    "Donald",  "Kimberly",  "Steven",   "Emily",     "Paul",    "Donna",    "Andrew",   "Michelle",
    "Joshua",  "Carol",     "Kenneth",  "Amanda",    "Kevin",   "Melissa",  "Brian",    "Deborah",
    "George",  "Stephanie", "Timothy",  "Rebecca",   "Ronald",  "Laura",    "Jason",    "Sharon",
    "Edward",  "Cynthia",   "Jeffrey",  "Kathleen",  "Ryan",    "Helen",    "Jacob",    "Alice",
    "Gary",    "Shirley",   "Nicholas", "Angela",    "Eric",    "Anna",     "Jonathan", "Brenda",
    "Stephen", "Pamela",    "Larry",    "Emma",      "Justin",  "Nicole",   "Scott",    "Samantha",
    "Brandon", "Katherine",
};
constexpr const char* streetNames[] = {
    "Oak",    "Harbor", "Fjord",  "Verte",  "Aurora", "Mill",  "Print",  "Hill",   "Fern",   "Crumb",
    "Main",   "Elm",    "Pine",   "Maple",  "Cedar",  "Lake",  "River",  "Park",   "Church", "School",
    "Market", "Bridge", "Spring", "Forest", "Sunset", "Ridge", "Meadow", "Valley", "Grove",  "Orchard",
};
constexpr const char* streetKinds[] = {"St", "Ave", "Rd", "Ln", "Way", "Ct", "Blvd", "Dr", "Pl", "Pkwy"};
constexpr const char* secondLines[] = {
    "Suite 4", "Suite 310", "Floor 3", "Bldg 2", "Unit 7B", "PO Box 123", "Dept 12", "Attn: Billing",
};
// City, state and the first three digits of its postal codes.
struct City
{
    const char* name;
    const char* state;
    const char* stateName;
    int zip;
};
constexpr City cities[] = {
    {"Springfield", "IL", "Illinois", 627},
    {"Bayshore", "CA", "California", 944},
    {"Duluth", "MN", "Minnesota", 558},
    {"New Orleans", "LA", "Louisiana", 701},
    {"Fairbanks", "AK", "Alaska", 997},
    {"Akron", "OH", "Ohio", 443},
    {"Phoenix", "AZ", "Arizona", 850},
    {"Portland", "OR", "Oregon", 972},
    {"Boston", "MA", "Massachusetts", 21},
    {"Denver", "CO", "Colorado", 802},
    {"Austin", "TX", "Texas", 787},
    {"Miami", "FL", "Florida", 331},
    {"Seattle", "WA", "Washington", 981},
    {"Albany", "NY", "New York", 122},
    {"Pittsburgh", "PA", "Pennsylvania", 152},
    {"Nashville", "TN", "Tennessee", 372},
    {"Madison", "WI", "Wisconsin", 537},
    {"Boise", "ID", "Idaho", 837},
    {"Tulsa", "OK", "Oklahoma", 741},
    {"Reno", "NV", "Nevada", 895},
    {"Burlington", "VT", "Vermont", 54},
    {"Savannah", "GA", "Georgia", 314},
    {"Omaha", "NE", "Nebraska", 681},
    {"Santa Fe", "NM", "New Mexico", 875},
};

template<std::size_t N> const char* pick(Random& random, const char* const (&pool)[N])
{
    return pool[random.bounded(int(N))];
}

// The digits of index in a mixed radix of the pool sizes, so that every index below their
// product names another combination.
template<std::size_t N> const char* digit(qint64& index, const char* const (&pool)[N])
{
    const char* chosen = pool[index % qint64(N)];
    index /= qint64(N);
    return chosen;
}

// Spreads consecutive numbers over the whole range of combinations.
qint64 spread(qint64 index, qint64 range)
{
    return (index * 7919 + 104729) % range;
}

QByteArray number(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

// The export puts double quotes around a field that holds a comma.
QByteArray field(const QByteArray& text)
{
    return text.contains(',') ? '"' + text + '"' : text;
}

} // namespace

QByteArray CustomerRows::header()
{
    return "!HDR\tPROD\tVER\tREL\tIIFVER\tDATE\tTIME\tACCNTNT\tACCNTNTSPLITTIME\r\n"
           "HDR\tQuickBooks Pro\tVersion 27.0D\tRelease R9P\t1\t2026-11-30\t1764500000\tN\t0\r\n"
           "!CUSTNAMEDICT\tINDEX\tLABEL\tCUSTOMER\tVENDOR\tEMPLOYEE\r\n"
           "!ENDCUSTNAMEDICT\r\n"
           "CUSTNAMEDICT\t0\tRegion\tY\tN\tN\r\n"
           "CUSTNAMEDICT\t1\tAccount Rep\tY\tN\tN\r\n"
           "ENDCUSTNAMEDICT\r\n"
           "!CUST\tNAME\tREFNUM\tTIMESTAMP\tBADDR1\tBADDR2\tBADDR3\tBADDR4\tBADDR5\tSADDR1\tSADDR2\tSADDR3\t"
           "SADDR4\tSADDR5\tPHONE1\tPHONE2\tFAXNUM\tEMAIL\tNOTE\tCONT1\tCONT2\tCTYPE\tTERMS\tTAXABLE\t"
           "SALESTAXCODE\tLIMIT\tRESALENUM\tREP\tTAXITEM\tNOTEPAD\tSALUTATION\tCOMPANYNAME\tFIRSTNAME\t"
           "MIDINIT\tLASTNAME\tHIDDEN\tDELCOUNT\tPRICELEVEL\r\n";
}

QByteArray CustomerRows::person()
{
    return QByteArray(pick(m_random, firstNames)) + ' ' + pick(m_random, lastNames);
}

QByteArray CustomerRows::name()
{
    // A customer given twice, as lists kept by hand have them.
    if (m_row > 100 && m_random.bounded(1000) < 2)
        return m_recent[std::size_t(m_random.bounded(int(m_recent.size())))];

    const int kind = m_random.bounded(100);
    QByteArray text;
    if (kind < 60) {
        const qint64 range =
            qint64(std::size(places)) * qint64(std::size(trades)) * qint64(std::size(suffixes));
        const qint64 round = m_companies / range;
        qint64 index = spread(m_companies++, range);
        // One digit at a time: the order in which operands are evaluated is not fixed.
        const char* place = digit(index, places);
        const char* trade = digit(index, trades);
        text = QByteArray(place) + ' ' + trade + ' ' + digit(index, suffixes);
        if (round > 0)
            text += ' ' + QByteArray::number(round + 1);
    } else if (kind < 82) {
        // A person, written "Last, First M."
        const qint64 range = qint64(std::size(lastNames)) * qint64(std::size(firstNames)) * 26;
        const qint64 round = m_people / range;
        qint64 index = spread(m_people++, range);
        const char* last = digit(index, lastNames);
        const char* first = digit(index, firstNames);
        text = QByteArray(last) + ", " + first + ' ' + char('A' + index % 26) + '.';
        if (round > 0)
            text += ' ' + QByteArray::number(round + 1);
    } else if (kind < 94) {
        // A shop with a branch number.
        const qint64 range = qint64(std::size(trades)) * qint64(std::size(places));
        const qint64 round = m_companies / range;
        qint64 index = spread(m_companies++, range);
        const char* trade = digit(index, trades);
        text =
            QByteArray(trade) + " Center of " + digit(index, places) + " #" + QByteArray::number(round + 1);
    } else {
        // Over 40 characters: stored cut to 40, so every later import adds it again.
        const qint64 range = qint64(std::size(places)) * qint64(std::size(trades)) *
                             qint64(std::size(trades)) * qint64(std::size(regions));
        const qint64 round = m_longNames / range;
        qint64 index = spread(m_longNames++, range);
        const char* place = digit(index, places);
        const char* trade = digit(index, trades);
        const char* other = digit(index, trades);
        text = QByteArray(place) + ' ' + trade + " & " + other + " Company of " + digit(index, regions);
        if (round > 0)
            text += ' ' + QByteArray::number(round + 1);
        while (text.size() <= 40)
            text += " Incorporated";
    }
    m_recent[std::size_t(m_row % qint64(m_recent.size()))] = text;
    return text;
}

QByteArray CustomerRows::phone()
{
    const QByteArray area = QByteArray::number(201 + m_random.bounded(789));
    const QByteArray line = "555-" + number(100 + m_random.bounded(100), 4);
    const QByteArray spaced = area + " 555 " + line.mid(4);
    // Every shape of the telephone examples, the plain ones most often.
    const int shape = m_random.bounded(100);
    if (shape < 30)
        return '(' + area + ") " + line;
    if (shape < 38)
        return '(' + area + ')' + line;
    if (shape < 46)
        return spaced;
    if (shape < 70)
        return area + '-' + line;
    if (shape < 76)
        return '(' + area + ") " + line + " ext " + QByteArray::number(1 + m_random.bounded(99));
    if (shape < 82)
        return "1 (" + area + ") " + line;
    if (shape < 88)
        return '(' + area + ") " + line + " (cell)";
    if (shape < 92)
        return ')' + area + ' ' + line + " x" + QByteArray::number(1 + m_random.bounded(9));
    return {};
}

QByteArray CustomerRows::cityLine()
{
    const City& city = cities[m_random.bounded(int(std::size(cities)))];
    const QByteArray zip = number(city.zip, 3) + number(m_random.bounded(100), 2);
    const int shape = m_random.bounded(100);
    if (shape < 84)
        return QByteArray(city.name) + ", " + city.state + ' ' + zip;
    if (shape < 91)
        return QByteArray(city.name) + ", " + city.state + "  " + zip; // two blanks, as some exports have
    if (shape < 97)
        return QByteArray(city.name) + ", " + city.state + ' ' + zip + '-' +
               number(m_random.bounded(10000), 4);
    return QByteArray(city.name) + ", " + city.stateName + ' ' + zip;
}

QByteArray CustomerRows::street()
{
    return QByteArray::number(1 + m_random.bounded(9999)) + ' ' + pick(m_random, streetNames) + ' ' +
           pick(m_random, streetKinds);
}

void CustomerRows::appendNext(QByteArray& out)
{
    const QByteArray customer = name();
    // A few rows have no billing name, so the import takes nothing from them.
    const bool billed = m_random.bounded(1000) >= 2;
    const QByteArray street1 = street();
    const QByteArray second = m_random.chance(30) ? QByteArray(pick(m_random, secondLines)) : QByteArray();
    const QByteArray city = cityLine();
    const QByteArray telephone = phone();
    const QByteArray contact = m_random.chance(90) ? person() : QByteArray();
    const bool taxable = m_random.chance(55);
    const bool shipSame = m_random.chance(60);
    ++m_row;

    std::array<QByteArray, 39> f; // f[1] to f[38], as the header numbers them
    f[1] = "CUST";
    f[2] = field(customer);
    f[3] = QByteArray::number(100 + m_row);
    f[4] = QByteArray::number(1700000000 + m_row);
    if (billed) {
        f[5] = field(customer);
        f[6] = street1;
        if (second.isEmpty()) {
            f[7] = field(city);
        } else {
            f[7] = second;
            f[8] = field(city);
        }
    }
    if (shipSame) {
        f[10] = f[5];
        f[11] = f[6];
        f[12] = f[7];
        f[13] = f[8];
    }
    f[15] = telephone;
    if (m_random.chance(20))
        f[17] = "555-0199";
    if (m_random.chance(40))
        f[18] = "accounts@" + QByteArray::number(m_row) + ".example";
    f[20] = contact;
    f[22] = m_random.chance(50) ? "Commercial" : "Residential";
    f[23] = m_random.chance(70) ? "Net 30" : "Due on receipt";
    f[24] = taxable ? "Y" : "N";
    f[25] = taxable ? "Tax" : "Non";
    if (m_random.chance(25))
        f[26] = "5000";
    f[32] = f[2];
    f[36] = "N";
    f[37] = "0";
    for (std::size_t i = 1; i < f.size(); ++i) {
        out += f[i];
        out += '\t'; // the export ends every field, the last one too, with a TAB
    }
    out += "\r\n";
}

namespace {

template<typename More>
bool writeRows(const QString& path, quint64 seed, More more, qint64& customers, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    CustomerRows rows(seed);
    QByteArray chunk = CustomerRows::header();
    qint64 written = 0;
    customers = 0;
    while (more(customers, written + chunk.size())) {
        rows.appendNext(chunk);
        ++customers;
        if (chunk.size() >= (1 << 20)) {
            if (file.write(chunk) != chunk.size()) {
                error = file.errorString();
                return false;
            }
            written += chunk.size();
            chunk.resize(0);
        }
    }
    if (file.write(chunk) != chunk.size() || !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool writeExport(const QString& path, qint64 customers, quint64 seed, QString& error)
{
    qint64 written = 0;
    return writeRows(
        path, seed, [customers](qint64 rows, qint64) { return rows < customers; }, written, error);
}

bool writeExportOfSize(const QString& path, qint64 bytes, quint64 seed, qint64& customers, QString& error)
{
    return writeRows(
        path, seed, [bytes](qint64, qint64 size) { return size < bytes; }, customers, error);
}

} // namespace brevik::bench
