#include "options.h"

#include <cstdio>
#include <cstring>

#include "column_map.h"
#include "figure_reading.h"
#include "inventory.h"
#include "option_numbers.h"

const char kUsageText[] =
    "Usage: kemcalc PRICE COST BOUGHT SOLD\n"
    "       kemcalc --csv [OPTION]... [FILE]\n"
    "       kemcalc --tsv [--header] [OPTION]... [FILE]\n"
    "\n"
    "Works out the return on inventory of stock items, with exactly the texts the\n"
    "KEM Calculator window shows. Each figure is read like the window reads it:\n"
    "its first 19 characters, a leading \"$\" skipped in PRICE and COST, the\n"
    "leading number taken and anything else read as 0. Figures that are not read\n"
    "whole (12,50 read as 12) are counted on standard error at the end.\n"
    "\n"
    "  PRICE COST BOUGHT SOLD  one item: selling price, cost, units bought per\n"
    "                   month, units sold per month; prints the six results.\n"
    "                   A $ in a Unix shell or PowerShell: write '$10' or 10;\n"
    "                   in cmd.exe write $10, as cmd.exe passes quotes on as\n"
    "                   part of the figure ('$10' would read as 0)\n"
    "  --csv            read CSV whose header row names the columns price, cost,\n"
    "                   bought and sold (in any case and order, among others);\n"
    "                   write each record back with six result columns added;\n"
    "                   empty lines are skipped\n"
    "  --tsv            read lines of four tab-separated figures, write the six\n"
    "                   result texts of each line, tab-separated\n"
    "  --header         with --tsv: the first line names the columns, as in CSV\n"
    "  --columns P,C,B,S  the price, cost, bought and sold columns, each a\n"
    "                   header name or a column number from 1\n"
    "  --delimiter C    CSV field delimiter, one character (default ,)\n"
    "  --decimal-comma  figures are written like 1.299,50: \".\" and blanks\n"
    "                   before groups of three digits are dropped, \",\" is the\n"
    "                   decimal point (12.50 reads as 12); numbers are written\n"
    "                   with \",\" too\n"
    "  --thousands ,    figures are written like 1,299.50: a \",\" before a group\n"
    "                   of three digits is dropped\n"
    "  --currency TEXT  prices and costs are written with TEXT before or after\n"
    "                   them (EUR, \xE2\x82\xAC); money texts show TEXT instead of $\n"
    "  --join FILE --on KEY  add the columns of report FILE (sales, purchases)\n"
    "                   to each row whose KEY matches, blanks around keys\n"
    "                   ignored; --on MAIN=JOINED when the names differ; repeat\n"
    "                   for another report; a row with no match reads 0 there\n"
    "  --months N       the bought and sold columns count units over N months;\n"
    "                   --bought-months N and --sold-months N set one each\n"
    "  --adjust FIGURE=CHANGE  what if: price, cost, bought or sold changed by\n"
    "                   a percentage (price=+5%, bought=-20%); repeatable\n"
    "  --adjust-group VALUE  the changes only for the rows of one group of\n"
    "                   --group-by\n"
    "  --target-return P  add the monthly order at which return on inventory\n"
    "                   is P%, and the months supply at that order\n"
    "  --prefix TEXT    put TEXT before the names of the columns kemcalc adds\n"
    "  --numbers        write six plain numbers (600.00) instead of the result\n"
    "                   texts, an empty cell where there is no number\n"
    "  --json           write JSON Lines, one object per row\n"
    "  --totals         add a last row for the whole catalogue\n"
    "  --group-by COLUMN  with --totals: first a totals row for each value of\n"
    "                   COLUMN, in order of first appearance\n"
    "  --echo-parsed[=hex|decimal]  also write the four figures used, in C99\n"
    "                   hexadecimal floating form (0x1.8p+1, the default) or in\n"
    "                   the shortest decimal that reads back (1.5)\n"
    "  --strict         stop with status 1 at the first figure not read whole or\n"
    "                   empty\n"
    "  FILE             read FILE instead of standard input (- also means\n"
    "                   standard input)\n"
    "  -h, --help       show this text\n"
    "  -V, --version    show the version\n"
    "\n"
    "Examples:\n"
    "  kemcalc '$10' '$8' 50 5          (a Unix shell, PowerShell)\n"
    "  kemcalc $10 $8 50 5              (cmd.exe)\n"
    "  kemcalc --csv --totals --group-by category shop.csv\n"
    "  kemcalc --csv --delimiter ';' --decimal-comma --numbers export.csv\n"
    "  kemcalc --csv --join sales.csv --on SKU --sold-months 3 products.csv\n"
    "\n"
    "Exit status: 0 all rows answered, 1 bad input data (the message names the\n"
    "line), 2 bad command line (or a column name two joined files share), 3 a\n"
    "file could not be opened, read or written.\n";

namespace {

// What the command line said, before the combinations are checked.
struct GivenOptions {
    bool delimiter = false;
    bool echoParsed = false;
    bool numbers = false;
    bool json = false;
    bool months[2] = {};  // --bought-months, --sold-months given on their own
    bool anyMonths = false;
    bool adjust = false;
    bool onWithoutJoin = false;
};

// "-" alone names standard input, and "-5" or "-.5" is a negative figure, so
// neither is taken for an option.
bool IsOption(const char* arg) {
    if (arg[0] != '-' || arg[1] == '\0') {
        return false;
    }
    char next = arg[1];
    return !((next >= '0' && next <= '9') || next == '.');
}

bool Fail(char (&error)[kOptionErrorSize], const char* format, const char* detail = "") {
    std::snprintf(error, sizeof error, format, detail);
    return false;
}

bool SetMode(Options& options, RunMode mode, char (&error)[kOptionErrorSize]) {
    if (options.mode == kModeTsv || options.mode == kModeCsv) {
        if (mode != options.mode) {
            return Fail(error, "--tsv and --csv cannot be used together");
        }
    }
    if (options.mode != kModeHelp && options.mode != kModeVersion) {
        options.mode = mode;
    }
    return true;
}

bool SetDelimiter(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    // The shell passes '\t' on as two characters; bash's $'\t' is a tab.
    if (std::strcmp(value, "\\t") == 0) {
        return Fail(error,
                    "--delimiter takes exactly one character, not '\\t'; for a tab write "
                    "--delimiter $'\\t'");
    }
    if (std::strlen(value) != 1) {
        return Fail(error, "--delimiter takes exactly one character, not '%s'", value);
    }
    if (value[0] == '"' || value[0] == '\r' || value[0] == '\n') {
        return Fail(error, "--delimiter cannot be a double quote or a line end");
    }
    options.catalogue.delimiter = value[0];
    return true;
}

bool SetColumns(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    ColumnRef refs[kFigureCount];
    if (!ParseColumnList(value, refs)) {
        return Fail(error,
                    "--columns takes four columns, PRICE,COST,BOUGHT,SOLD, each a name or a "
                    "number from 1, not '%s'",
                    value);
    }
    options.catalogue.columns = value;
    return true;
}

bool SetGroupBy(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    ColumnRef ref;
    if (!ParseColumnRef(value, ref)) {
        return Fail(error, "--group-by takes a column name or a number from 1, not '%s'", value);
    }
    options.catalogue.groupBy = value;
    return true;
}

bool SetEchoForm(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    if (std::strcmp(value, "hex") == 0) {
        options.catalogue.echo = kEchoHex;
    } else if (std::strcmp(value, "decimal") == 0) {
        options.catalogue.echo = kEchoDecimal;
    } else {
        return Fail(error, "--echo-parsed takes hex or decimal, not '%s'", value);
    }
    return true;
}

// A count of months: finite and above 0.
bool ReadMonths(const char* name, const char* text, double& months,
                char (&error)[kOptionErrorSize]) {
    if (!ReadOptionNumber(text, months) || !(months > 0.0)) {
        char format[96];
        std::snprintf(format, sizeof format, "%s takes a number of months above 0, not '%%s'",
                      name);
        return Fail(error, format, text);
    }
    return true;
}

bool SetMonths(Options& options, GivenOptions& given, const char* name, const char* text,
               char (&error)[kOptionErrorSize]) {
    CatalogueOptions& catalogue = options.catalogue;
    double months = 0.0;
    if (!ReadMonths(name, text, months, error)) {
        return false;
    }
    given.anyMonths = true;
    // --bought-months and --sold-months say more than --months, in any order.
    if (std::strcmp(name, "--months") == 0) {
        catalogue.boughtMonths = given.months[0] ? catalogue.boughtMonths : months;
        catalogue.soldMonths = given.months[1] ? catalogue.soldMonths : months;
    } else if (std::strcmp(name, "--bought-months") == 0) {
        given.months[0] = true;
        catalogue.boughtMonths = months;
    } else {
        given.months[1] = true;
        catalogue.soldMonths = months;
    }
    return true;
}

bool SetAdjust(Options& options, GivenOptions& given, const char* value,
               char (&error)[kOptionErrorSize]) {
    const std::string_view text = value;
    const std::size_t equals = text.find('=');
    const std::string_view figure = text.substr(0, equals);
    std::size_t index = kFigureCount;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        index = figure == kFigureNames[i] ? i : index;
    }
    double percent = 0.0;
    if (equals == std::string_view::npos || index == kFigureCount ||
        !ReadOptionPercent(text.substr(equals + 1), true, percent)) {
        return Fail(error,
                    "--adjust takes FIGURE=CHANGE, FIGURE one of price, cost, bought, sold and "
                    "CHANGE a percentage such as +5%% or -20%%, not '%s'",
                    value);
    }
    CatalogueOptions& catalogue = options.catalogue;
    if (catalogue.adjusted[index]) {
        return Fail(error, "--adjust: %s is changed twice", kFigureNames[index]);
    }
    catalogue.adjusted[index] = true;
    catalogue.adjustPercent[index] = percent;
    given.adjust = true;
    return true;
}

bool SetTargetReturn(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    double percent = 0.0;
    if (!ReadOptionPercent(value, false, percent) || !(percent > 0.0)) {
        return Fail(error, "--target-return takes a percentage above 0, such as 300, not '%s'",
                    value);
    }
    options.catalogue.targetReturn = percent;
    return true;
}

bool SetThousands(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    if (std::strcmp(value, ",") != 0) {
        return Fail(error,
                    "--thousands takes ',' (for 1,299.50), not '%s'; for 1.299,50 give "
                    "--decimal-comma",
                    value);
    }
    options.catalogue.thousandsComma = true;
    return true;
}

bool SetCurrency(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    if (!IsCurrencyText(value)) {
        return Fail(error,
                    "--currency takes the text of a currency, such as EUR or \xE2\x82\xAC, of "
                    "at most 16 bytes without digits, signs, points, commas, blanks or quotes, "
                    "not '%s'",
                    value);
    }
    options.catalogue.currency = value;
    return true;
}

bool AddJoin(Options& options, const char* path, char (&error)[kOptionErrorSize]) {
    CatalogueOptions& catalogue = options.catalogue;
    if (catalogue.joinCount == kMaxJoins) {
        return Fail(error, "at most 8 reports can be joined");
    }
    options.joinPaths[catalogue.joinCount] = path;
    catalogue.joins[catalogue.joinCount] = JoinKeys{};
    ++catalogue.joinCount;
    return true;
}

// --on KEY or --on MAIN=JOINED, for the --join before it.
bool SetJoinKeys(Options& options, GivenOptions& given, const char* value,
                 char (&error)[kOptionErrorSize]) {
    CatalogueOptions& catalogue = options.catalogue;
    if (catalogue.joinCount == 0 || !catalogue.joins[catalogue.joinCount - 1].mainKey.empty()) {
        given.onWithoutJoin = true;
        return Fail(error, "--on '%s' needs a --join FILE before it, one --on for each --join",
                    value);
    }
    const std::string_view text = value;
    const std::size_t equals = text.find('=');
    JoinKeys& keys = catalogue.joins[catalogue.joinCount - 1];
    keys.mainKey = text.substr(0, equals);
    keys.joinedKey = equals == std::string_view::npos ? text : text.substr(equals + 1);
    ColumnRef ref;
    if (!ParseColumnRef(keys.mainKey, ref) || !ParseColumnRef(keys.joinedKey, ref)) {
        return Fail(error,
                    "--on takes a key column, NAME or MAIN=JOINED (names or numbers from 1), "
                    "not '%s'",
                    value);
    }
    return true;
}

// An option with a value, given as "--name VALUE" or "--name=VALUE". Returns
// the value, or nullptr when `arg` is not this option; `missing` is set when
// the value is missing at the end of the line.
const char* TakeValue(const char* name, int argc, char** argv, int& i, bool& missing) {
    const char* arg = argv[i];
    const std::size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0) {
        return nullptr;
    }
    if (arg[length] == '=') {
        return arg + length + 1;
    }
    if (arg[length] != '\0') {
        return nullptr;
    }
    if (i + 1 >= argc) {
        missing = true;
        return nullptr;
    }
    return argv[++i];
}

// A figure count other than four, from a shell that took "$10" for the
// variable $1 followed by a 0 and dropped "$8" altogether.
bool IsReadableFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

bool FailItemCount(const char* const* positional, int count, char (&error)[kOptionErrorSize]) {
    // "kemcalc shop.csv": a catalogue given without saying how to read it.
    if (count == 1 && IsReadableFile(positional[0])) {
        return Fail(error,
                    "%s is a file, not four figures: to read a catalogue add --csv (or --tsv "
                    "for tab-separated lines), as in kemcalc --csv FILE",
                    positional[0]);
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", count);
    if (count >= 1 && count < kItemFieldCount) {
        return Fail(error,
                    "expected four figures, PRICE COST BOUGHT SOLD, but got %s; in a shell, put "
                    "a figure with a $ in single quotes ('$10'), or the shell drops the $ and "
                    "what follows",
                    text);
    }
    return Fail(error, "expected four figures, PRICE COST BOUGHT SOLD, but got %s", text);
}

// Checks the combinations once every argument is known.
bool CheckOptions(Options& options, const GivenOptions& given, const char* const* positional,
                  int positionalCount, char (&error)[kOptionErrorSize]) {
    if (options.mode == kModeHelp || options.mode == kModeVersion) {
        return true;
    }
    const CatalogueOptions& catalogue = options.catalogue;
    const bool streaming = options.mode == kModeTsv || options.mode == kModeCsv;
    const bool header = options.mode == kModeCsv || catalogue.header;
    if (!streaming && given.echoParsed) {
        return Fail(error, "--echo-parsed needs --tsv or --csv");
    }
    if (!streaming && catalogue.totals) {
        return Fail(error, "--totals needs --tsv or --csv");
    }
    if (!streaming && given.numbers) {
        return Fail(error, "--numbers needs --tsv or --csv");
    }
    if (!streaming && given.json) {
        return Fail(error, "--json needs --tsv or --csv");
    }
    if (given.delimiter && options.mode != kModeCsv) {
        return Fail(error, "--delimiter needs --csv");
    }
    if (catalogue.header && options.mode != kModeTsv) {
        return Fail(error, "--header needs --tsv; a CSV file always starts with its header row");
    }
    if (!catalogue.columns.empty() && !(streaming && header)) {
        return Fail(error, "--columns needs --csv, or --tsv with --header");
    }
    if (!catalogue.groupBy.empty() && !(streaming && header)) {
        return Fail(error, "--group-by needs --csv, or --tsv with --header");
    }
    if (!catalogue.groupBy.empty() && !catalogue.totals) {
        return Fail(error, "--group-by needs --totals");
    }
    if (catalogue.thousandsComma && catalogue.decimalComma) {
        return Fail(error,
                    "--thousands , and --decimal-comma cannot be used together: with a decimal "
                    "comma, points and blanks group the thousands");
    }
    if (catalogue.joinCount != 0 && !(streaming && header)) {
        return Fail(error, "--join needs --csv, or --tsv with --header");
    }
    for (std::size_t j = 0; j < catalogue.joinCount; ++j) {
        if (catalogue.joins[j].mainKey.empty()) {
            return Fail(error, "--join %s needs --on KEY after it", options.joinPaths[j]);
        }
    }
    if (catalogue.adjustOneGroup && (catalogue.groupBy.empty() || !given.adjust)) {
        return Fail(error, "--adjust-group needs --adjust and --group-by");
    }
    if (!streaming && catalogue.targetReturn != 0.0) {
        return Fail(error, "--target-return needs --tsv or --csv");
    }
    if (!streaming && !catalogue.prefix.empty()) {
        return Fail(error, "--prefix needs --tsv or --csv");
    }
    if (streaming) {
        if (positionalCount > 1) {
            return Fail(error, "only one input file can be given");
        }
        options.catalogue.input = options.mode == kModeCsv ? kInputCsv : kInputTsv;
        options.inputPath = positionalCount == 1 ? positional[0] : nullptr;
        return true;
    }
    if (positionalCount != kItemFieldCount) {
        return FailItemCount(positional, positionalCount, error);
    }
    for (int i = 0; i < kItemFieldCount; ++i) {
        options.itemTexts[i] = positional[i];
    }
    return true;
}

// Reads one option; returns false with `error` set when it cannot be used.
bool ReadOption(Options& options, GivenOptions& given, int argc, char** argv, int& i,
                char (&error)[kOptionErrorSize]) {
    const char* arg = argv[i];
    CatalogueOptions& catalogue = options.catalogue;
    bool missing = false;
    if (std::strcmp(arg, "--tsv") == 0) {
        return SetMode(options, kModeTsv, error);
    }
    if (std::strcmp(arg, "--csv") == 0) {
        return SetMode(options, kModeCsv, error);
    }
    if (std::strcmp(arg, "--echo-parsed") == 0) {
        given.echoParsed = true;
        catalogue.echo = kEchoHex;
        return true;
    }
    if (std::strncmp(arg, "--echo-parsed=", 14) == 0) {
        given.echoParsed = true;
        return SetEchoForm(options, arg + 14, error);
    }
    if (const char* value = TakeValue("--delimiter", argc, argv, i, missing)) {
        given.delimiter = true;
        return SetDelimiter(options, value, error);
    }
    if (const char* value = TakeValue("--columns", argc, argv, i, missing)) {
        return SetColumns(options, value, error);
    }
    if (const char* value = TakeValue("--group-by", argc, argv, i, missing)) {
        return SetGroupBy(options, value, error);
    }
    if (const char* value = TakeValue("--thousands", argc, argv, i, missing)) {
        return SetThousands(options, value, error);
    }
    if (const char* value = TakeValue("--currency", argc, argv, i, missing)) {
        return SetCurrency(options, value, error);
    }
    if (const char* value = TakeValue("--prefix", argc, argv, i, missing)) {
        catalogue.prefix = value;
        return true;
    }
    if (const char* value = TakeValue("--join", argc, argv, i, missing)) {
        return AddJoin(options, value, error);
    }
    if (const char* value = TakeValue("--on", argc, argv, i, missing)) {
        return SetJoinKeys(options, given, value, error);
    }
    for (const char* name : {"--months", "--bought-months", "--sold-months"}) {
        if (const char* value = TakeValue(name, argc, argv, i, missing)) {
            return SetMonths(options, given, name, value, error);
        }
    }
    if (const char* value = TakeValue("--adjust", argc, argv, i, missing)) {
        return SetAdjust(options, given, value, error);
    }
    if (const char* value = TakeValue("--adjust-group", argc, argv, i, missing)) {
        catalogue.adjustOneGroup = true;
        catalogue.adjustGroup = value;
        return true;
    }
    if (const char* value = TakeValue("--target-return", argc, argv, i, missing)) {
        return SetTargetReturn(options, value, error);
    }
    if (missing) {
        const bool character = std::strcmp(arg, "--delimiter") == 0;
        return Fail(error,
                    character ? "%s needs a character after it" : "%s needs a value after it", arg);
    }
    if (std::strcmp(arg, "--totals") == 0) {
        catalogue.totals = true;
    } else if (std::strcmp(arg, "--header") == 0) {
        catalogue.header = true;
    } else if (std::strcmp(arg, "--decimal-comma") == 0) {
        catalogue.decimalComma = true;
    } else if (std::strcmp(arg, "--numbers") == 0) {
        given.numbers = true;
        catalogue.numbers = true;
    } else if (std::strcmp(arg, "--json") == 0) {
        given.json = true;
        catalogue.output = kOutputJsonLines;
    } else if (std::strcmp(arg, "--strict") == 0) {
        catalogue.strict = true;
    } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
        options.mode = kModeHelp;
    } else if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-V") == 0) {
        if (options.mode != kModeHelp) {
            options.mode = kModeVersion;
        }
    } else {
        return Fail(error, "unknown option '%s'", arg);
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& options, char (&error)[kOptionErrorSize]) {
    options = Options();
    error[0] = '\0';
    // Only four figures or one file are ever used; a few more are kept so
    // that the count in the message is right.
    const char* positional[kItemFieldCount + 1] = {};
    int positionalCount = 0;
    GivenOptions given;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded || !IsOption(arg)) {
            if (positionalCount < kItemFieldCount + 1) {
                positional[positionalCount] = arg;
            }
            ++positionalCount;
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (!ReadOption(options, given, argc, argv, i, error)) {
            return false;
        }
    }
    return CheckOptions(options, given, positional, positionalCount, error);
}
