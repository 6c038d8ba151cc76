#include "bench/SheetGenerator.h"

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/FixedRateStore.h"

namespace quibsum::bench {

namespace {

const char* const headings[] = {"# Groceries",      "# Chi tiêu tháng", "# Travel", "# Tiền nhà",
                                "# Project budget", "# Ăn uống",        "# Car",    "# Quỹ lớp"};
const char* const singleNames[] = {"rent", "food", "fuel", "salary", "budget", "tip", "fee", "coffee"};
const char* const multiNames[] = {"tiền nhà", "giá vé", "tiền điện", "chi phí", "lương tháng", "phí ship"};
const char* const currencies[] = {"USD", "EUR", "VND", "JPY", "GBP"};
// One kind of measure per section: a larger and a smaller unit of it.
const char* const measures[][2] = {{"km", "m"}, {"kg", "g"}, {"h", "min"}, {"l", "ml"}};
const char* const labels[] = {"Coffee", "Taxi", "Rent", "Điện", "Nước", "Lunch", "Gas"};

}  // namespace

std::uint64_t SheetGenerator::next() {  // splitmix64
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::string SheetGenerator::number(int maxWhole, bool fraction) {
    std::string n = std::to_string(1 + below(static_cast<std::size_t>(maxWhole)));
    if (fraction && below(3) == 0) n += "." + std::to_string(below(100));
    return n;
}

std::string SheetGenerator::valueLine(std::size_t section) {
    const std::string s = std::to_string(section);
    const std::string currency = currencies[below(std::size(currencies))];
    // A section keeps to money, or to one kind of measure, so that its sum can add it up.
    const std::string big = measure_ ? measure_[0] : currency;
    const std::string small = measure_ ? measure_[1] : "VND";
    switch (below(20)) {
        case 0:
            return number(500, true) + " + " + number(500, true);
        case 1:
            return number(90, false) + " * " + number(20, true) + " - " + number(50, false);
        case 2:
            return "(" + number(2000, false) + " - " + number(300, false) + ") / " + number(9, false);
        case 3:
            return number(40, false) + "% of " + number(5000, false);
        case 4:
            return number(5000, false) + " + " + number(25, false) + "%";
        case 5:
            return number(30, false) + "% off " + number(900, true) + " " + big;
        case 6:
            return number(50, true) + " " + big;
        case 7:
            return number(20, true) + " " + big + " in " + small;
        case 8:
            return number(3, false) + " " + big + " + " + number(900, false) + " " + small;
        case 9:
            return number(900, true) + " " + big;
        case 10:
            return measure_ ? number(900, false) + " " + small : number(300, false) + " USD in VND";
        case 11:
            return measure_ ? number(40, true) + " " + big : number(9, false) + "500000 VND to USD";
        case 12:
            return measure_ ? number(900, false) + " " + small + " in " + big
                            : number(80, false) + " EUR + " + number(80, false) + " USD";
        case 13:
            return std::string(labels[below(std::size(labels))]) + ": " + number(200, false) +
                   (measure_ ? " " + small : "000 VND");
        case 14:
            if (!names_.empty()) return names_[below(names_.size())] + " * " + number(12, false);
            return number(100, false) + " / " + number(8, false);
        case 15:
            if (names_.size() > 1) return names_[0] + " + " + names_[names_.size() - 1];
            return "sqrt(" + number(1000, false) + ")";
        case 16:
            return "prev * " + number(3, false);
        case 17:
            return "prev + " + number(15, false) + "%";
        case 18: {
            // Pages reuse their names from section to section (each month's rent), and now and
            // then keep one apart.
            std::string name = below(2) ? std::string(singleNames[below(std::size(singleNames))])
                                        : std::string(multiNames[below(std::size(multiNames))]);
            if (below(10) == 0) name += (name.find(' ') == std::string::npos ? "" : " ") + s;
            names_.push_back(name);
            return name + " = " + number(2000, true) + (below(2) ? " " + big : "");
        }
        default:
            if (measure_) return number(100, false) + " " + big;
            return number(100, false) + " " + currency + " in " + currencies[below(std::size(currencies))];
    }
}

std::vector<std::string> SheetGenerator::lines(std::size_t count) {
    std::vector<std::string> out;
    out.reserve(count);
    std::size_t section = 0;
    while (out.size() < count) {
        names_.clear();
        ++section;
        measure_ = below(3) == 0 ? measures[below(std::size(measures))] : nullptr;
        out.emplace_back(headings[below(std::size(headings))]);
        if (below(25) == 0) out.push_back("1 USD = " + std::to_string(25000 + below(800)) + " VND");
        std::size_t body = 4 + below(18);
        for (std::size_t k = 0; k < body && out.size() < count; ++k) {
            if (below(30) == 0)
                out.emplace_back("// " + std::string(labels[below(std::size(labels))]) + " note");
            else
                out.push_back(valueLine(section));
        }
        out.emplace_back(below(4) ? "sum" : below(2) ? "tổng" : "average");
        out.emplace_back("");
    }
    out.resize(count);
    return out;
}

std::vector<std::string> SheetGenerator::withSharedVariable(std::vector<std::string> lines, std::size_t readers,
                                                            const std::string& assignment) {
    if (lines.empty() || readers == 0) return lines;
    std::string name = assignment.substr(0, assignment.find(" = "));
    lines[0] = assignment;
    std::size_t step = std::max<std::size_t>(1, (lines.size() - 1) / readers);
    std::size_t placed = 0;
    for (std::size_t i = 1; i < lines.size() && placed < readers; i += step) {
        // The nearest line below that is a plain value line, not structure.
        std::size_t j = i;
        while (j < lines.size() && (lines[j].empty() || lines[j][0] == '#' || lines[j] == "sum" || lines[j] == "tổng" ||
                                    lines[j] == "average" || lines[j].rfind("1 USD =", 0) == 0))
            ++j;
        if (j >= lines.size()) break;
        lines[j] = name + " * " + std::to_string(placed % 7 + 2);
        ++placed;
    }
    return lines;
}

std::string SheetGenerator::join(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += lines[i];
    }
    return text;
}

std::shared_ptr<const RateStore> benchRates() {
    auto decimal = [](const char* text) { return *Decimal::parse(text); };
    RateSnapshot s;
    s.vcb.quotes = CurrencyTable<BankQuote>({
        {"USD", BankQuote{decimal("25080"), decimal("25110"), decimal("25450")}},
        {"EUR", BankQuote{decimal("26500"), decimal("26770"), decimal("27950")}},
        {"JPY", BankQuote{decimal("160.5"), decimal("162.1"), decimal("170.3")}},
        {"GBP", BankQuote{decimal("31200"), decimal("31510"), decimal("32480")}},
    });
    s.erapi.quotes = CurrencyTable<Decimal>({
        {"USD", decimal("1")},
        {"EUR", decimal("0.92")},
        {"GBP", decimal("0.79")},
        {"JPY", decimal("151.3")},
        {"VND", decimal("25320")},
    });
    return std::make_shared<FixedRateStore>(std::move(s));
}

}  // namespace quibsum::bench
