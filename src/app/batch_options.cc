#include "app/batch_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <variant>

#include "base/text.h"
#include "input/age_groups.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/numeric_field.h"

namespace quillmore::app {
namespace {

using base::Status;

// "txt,csv,json,risk" in any combination, each once.
base::Result<OutputFormats> ParseFormats(const std::string& text) {
  OutputFormats formats{false, false, false, false};
  for (const std::string& item : base::SplitCommas(text)) {
    const std::string name = base::AsciiLower(item);
    bool* chosen = name == "txt"    ? &formats.text
                   : name == "csv"  ? &formats.csv
                   : name == "json" ? &formats.json
                   : name == "risk" ? &formats.risk
                                    : nullptr;
    if (chosen == nullptr)
      return Status::InvalidArgument("unknown format \"" + item + "\" (txt, csv, json, risk)");
    if (*chosen) return Status::InvalidArgument("format \"" + item + "\" listed twice");
    *chosen = true;
  }
  return formats;
}

// One --periods item, "30.5d" or "50y", in days: digits with an optional
// point and exponent, then the unit. "d" is a unit here, never an exponent.
base::Result<double> ParsePeriod(const std::string& item) {
  const auto refuse = [&item](const std::string& why) {
    return Status::InvalidArgument("--periods: \"" + item + "\" " + why);
  };
  if (item.empty()) return Status::InvalidArgument("--periods: an empty item");
  if (item.find_first_of(" \t") != std::string::npos) return refuse("holds a blank");
  const char unit = base::AsciiLower(item.back());
  if (std::string_view("0123456789.").find(unit) != std::string_view::npos)
    return refuse("needs a unit, d or y");
  if (unit != 'd' && unit != 'y') return refuse("has an unknown unit (d or y)");
  const std::string number = item.substr(0, item.size() - 1);
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::general);
  const bool digitsOnly =
      !number.empty() && number.find_first_not_of("+-0123456789.eE") == std::string::npos;
  if (!digitsOnly || end != number.data() + number.size() ||
      (error != std::errc() && error != std::errc::result_out_of_range)) {
    return refuse("is not a number of days (d) or years (y)");
  }
  constexpr double kDaysPerYear = 365;  // as the sample times file counts 50 y: 18250 d
  const double days = unit == 'y' ? value * kDaysPerYear : value;
  // Out of range is either side: only a magnitude above 1 is too large, a
  // value that underflows to 0 is no positive period.
  const bool overflow =
      error == std::errc::result_out_of_range && std::fabs(input::ReadNumber(number)) > 1;
  if (overflow || !std::isfinite(days)) return refuse("is too large a period");
  if (!(days > 0)) return refuse("is not a positive period");
  return days;
}

// "1d,7d,30.5d,1y,50y": the periods in days, in the order given, each once.
Status ParsePeriods(const std::string& value, BatchOptions* options) {
  options->periods = value;
  options->periodDays.clear();
  for (const std::string& item : base::SplitCommas(value)) {
    const base::Result<double> period = ParsePeriod(item);
    if (!period.ok()) return period.status();
    const double days = period.value();
    if (std::find(options->periodDays.begin(), options->periodDays.end(), days) !=
        options->periodDays.end()) {
      return Status::InvalidArgument("--periods: \"" + item + "\" repeats " +
                                     base::ShortestText(days) + " d");
    }
    if (options->periodDays.size() == input::kMaxIntegrationTimes) {
      return Status::InvalidArgument("--periods: more than " +
                                     std::to_string(input::kMaxIntegrationTimes) + " periods");
    }
    options->periodDays.push_back(days);
  }
  return Status::Ok();
}

// "svg,pdf,png" in any combination, each once.
Status ParseFigureFormats(const std::string& value, BatchOptions* options) {
  std::vector<plot::FigureFormat>& formats = options->figures;
  formats.clear();
  for (const std::string& item : base::SplitCommas(value)) {
    const std::string name = base::AsciiLower(item);
    bool known = false;
    for (const auto format :
         {plot::FigureFormat::kSvg, plot::FigureFormat::kPdf, plot::FigureFormat::kPng}) {
      if (name != plot::FigureExtension(format)) continue;
      known = true;
      if (std::find(formats.begin(), formats.end(), format) != formats.end())
        return Status::InvalidArgument("figure format \"" + item + "\" listed twice");
      formats.push_back(format);
    }
    if (!known)
      return Status::InvalidArgument("unknown figure format \"" + item + "\" (svg, pdf, png)");
  }
  return Status::Ok();
}

// "6.4x7.2": width and height in inches, each from 1 to 40.
Status ParseFigureSize(const std::string& value, BatchOptions* options) {
  const std::size_t cross = base::AsciiLower(value).find('x');
  double sides[2] = {0, 0};
  for (int i = 0; i < 2 && cross != std::string::npos; ++i) {
    const std::string side = i == 0 ? value.substr(0, cross) : value.substr(cross + 1);
    const auto [end, error] = std::from_chars(side.data(), side.data() + side.size(), sides[i]);
    if (error != std::errc() || end != side.data() + side.size()) sides[i] = 0;
  }
  if (!(sides[0] >= 1 && sides[0] <= 40 && sides[1] >= 1 && sides[1] <= 40))
    return Status::InvalidArgument(
        "--figure-size takes WxH in inches, each from 1 to 40 (6.4x7.2)");
  options->figureSize.widthInches = sides[0];
  options->figureSize.heightInches = sides[1];
  return Status::Ok();
}

Status ParseDpi(const std::string& value, BatchOptions* options) {
  const std::optional<int> dpi = base::WholeNumber(value, 50, 1200);
  if (!dpi) return Status::InvalidArgument("--dpi takes a number from 50 to 1200");
  options->figureSize.dpi = *dpi;
  return Status::Ok();
}

Status ParseComparison(const std::string& value, BatchOptions* options) {
  const std::string name = base::AsciiLower(value);
  if (name == "ages") {
    options->compare = run::Comparison::kAges;
  } else if (name == "forms") {
    options->compare = run::Comparison::kForms;
  } else if (name == "nuclides") {
    options->compare = run::Comparison::kNuclides;
  } else {
    return Status::InvalidArgument("--compare takes ages, forms or nuclides, not \"" + value +
                                   "\"");
  }
  return Status::Ok();
}

Status ParseForm(const std::string& value, BatchOptions* options) {
  options->form = base::WholeNumber(value, 1, 99);
  if (!options->form) return Status::InvalidArgument("--form takes a number from 1 to 99");
  return Status::Ok();
}

}  // namespace

std::string BatchUsage() {
  return "Usage: quillmore-batch --data-set inhalation|ingestion [options] NUCLIDE...\n"
         "  or:  quillmore-batch --data-set KIND --all [options]\n"
         "  or:  quillmore-batch --data-set KIND --list-regions|--list-nuclides\n"
         "  or:  quillmore-batch --check [--data-dir DIR]\n"
         "  or:  quillmore-batch --intakes FILE [--until YEAR] [--until-age N] [--by LIST]\n"
         "                      [options]\n"
         "\n"
         "Writes the absorbed dose coefficient tables of each nuclide, one file per age\n"
         "group, exactly as the interactive program quillmore does; with --intakes, the\n"
         "dose each person receives in each calendar year from a history of intakes.\n"
         "\n"
         "  --data-set KIND     inhalation (h) or ingestion (g); required for runs\n"
         "  --data-dir DIR      folder holding DoseInd.NDX, the dose-rate files and\n"
         "                      Quillmore.ini (default DATA)\n"
         "  --output-dir DIR    folder for the tables (default OUTPUT; created if missing)\n"
         "  --times FILE        integration-times file (default Quillmore.ini in DIR)\n"
         "  --periods LIST      the periods instead of a times file, each a number and\n"
         "                      its unit d (days) or y (365 d): 1d,7d,30.5d,1y,50y\n"
         "  --ages LIST         age groups 1-6 or infant,1y,5y,10y,15y,adult (default all)\n"
         "  --regions LIST      regions 1-30 or names as the data set heads them, lung\n"
         "                      for 30, remainder or rest body for 29 (default all)\n"
         "  --all               every nuclide with data in the data set, in index order\n"
         "  --jobs N            nuclides processed at once (default: one per core)\n"
         "  --format LIST       txt, csv, json, comma-separated (default txt): the text\n"
         "                      tables, NUCLIDE_H|G.csv and NUCLIDE_H|G.json; with\n"
         "                      --intakes csv (the default), json and risk\n"
         "                      (risk_input.csv: rows for a radiation risk calculator\n"
         "                      by person, year, site and radiation; needs --sites)\n"
         "  --manifest          write quillmore-run.json (always with csv or json)\n"
         "  --curves            also write NUCLIDE_H|G_curves.csv: rates and doses from\n"
         "                      intake at the tabulated, integration and grid times\n"
         "  --figures LIST      svg, pdf, png, comma-separated: each curve's rate and\n"
         "                      dose plot as NUCLIDE_H|G_AGEDAYS_fFORM_rREGION.EXT;\n"
         "                      with --intakes each person's annual doses by year as\n"
         "                      PERSON_annual.EXT (at most 8 --regions)\n"
         "  --figure-size WxH   figure width and height in inches (default 6.4x7.2)\n"
         "  --dpi N             resolution of the PNG figures, 50-1200 (default 150)\n"
         "  --compare WHAT      ages, forms or nuclides: one figure per comparison, its\n"
         "                      curves differing only in WHAT (at most 8 curves)\n"
         "  --form N            the form each nuclide shows in --compare nuclides\n"
         "                      (default 1)\n"
         "  --intakes FILE      annual doses of the intake history in FILE (CSV, or\n"
         "                      separated by semicolons or tabs), per person, calendar\n"
         "                      year and region: annual_doses.csv (and\n"
         "                      annual_dose_distributions.csv where FILE has an\n"
         "                      activity_gsd column)\n"
         "  --until YEAR        last calendar year reported (default: 50 years after the\n"
         "                      year of each person's last day of intake)\n"
         "  --until-age N       follow each person to their Nth birthday, 1-150 (with\n"
         "                      --until and follow_up_end, the earliest end counts)\n"
         "  --by LIST           nuclide, route, intake, comma-separated: also\n"
         "                      annual_doses_by_nuclide.csv, annual_doses_by_route.csv,\n"
         "                      annual_doses_by_intake.csv (one row per intake part)\n"
         "  --by-intake         the same as --by intake\n"
         "  --compress gzip     write every CSV file as FILE.csv.gz (gzip, level 6)\n"
         "  --sites FILE        the sites of risk_input.csv: CSV with site, region,\n"
         "                      weight and optional sex (female, male or empty for\n"
         "                      both); a site's dose is the weighted sum of its regions'\n"
         "  --risk-unit UNIT    mGy (default), Gy or cGy: the unit of risk_input.csv's\n"
         "                      values and medians\n"
         "  --radiation-names HIGH,LOW\n"
         "                      the radiation names of the high- and low-LET rows of\n"
         "                      risk_input.csv (default alpha,low-LET)\n"
         "  --tail KIND         the rate past a block's last tabulated time: exponential\n"
         "                      (the last segment's decay; default with --intakes), zero\n"
         "                      or cubic (the last piece continued; default otherwise)\n"
         "  --high-let-weight W\n"
         "                      add weighted_gy = low LET + W x high LET to the CSV files\n"
         "  --list-regions      print the data set's region numbers and names\n"
         "  --list-nuclides     print the nuclides with data in the data set\n"
         "  --check             validate the data set and the times file and report\n"
         "                      every problem found (and notes)\n"
         "  --quiet             print nothing but warnings and errors (no notes)\n"
         "  --help, --version\n"
         "\n"
         "Exit status:\n"
         "  0  all written (notes do not count)\n"
         "  1  a warning: a nuclide or age group without data, a suspect block, a check\n"
         "     problem, rows of risk_input.csv left out as unbounded\n"
         "  2  usage or data-set error\n";
}

namespace {

Status ParseDataSet(const std::string& value, BatchOptions* options) {
  options->dataKind = input::FindDataSet(value);
  if (options->dataKind) return Status::Ok();
  return Status::InvalidArgument("unknown data set \"" + value + "\" (inhalation or ingestion)");
}

Status ParseJobs(const std::string& value, BatchOptions* options) {
  const std::optional<int> jobs = base::WholeNumber(value, 1, 64);
  if (!jobs) return Status::InvalidArgument("--jobs takes a number from 1 to 64");
  options->jobs = *jobs;
  return Status::Ok();
}

Status ParseFormatOption(const std::string& value, BatchOptions* options) {
  base::Result<OutputFormats> formats = ParseFormats(value);
  if (!formats.ok()) return formats.status();
  options->formats = formats.value();
  return Status::Ok();
}

Status ParseUntil(const std::string& value, BatchOptions* options) {
  options->untilYear = base::WholeNumber(value, 1, 9998);
  if (options->untilYear) return Status::Ok();
  return Status::InvalidArgument("--until takes a year from 1 to 9998");
}

Status ParseUntilAge(const std::string& value, BatchOptions* options) {
  options->untilAge = base::WholeNumber(value, 1, 150);
  if (options->untilAge) return Status::Ok();
  return Status::InvalidArgument("--until-age takes a number of years from 1 to 150");
}

Status ParseTailOption(const std::string& value, BatchOptions* options) {
  options->tail = integration::ParseTail(value);
  if (options->tail) return Status::Ok();
  return Status::InvalidArgument("--tail takes exponential, zero or cubic");
}

// "nuclide,route,intake": the grouped files of an intake history.
Status ParseBy(const std::string& value, BatchOptions* options) {
  bool listed[3] = {false, false, false};
  for (const std::string& item : base::SplitCommas(value)) {
    const std::string name = base::AsciiLower(item);
    const int group = name == "nuclide" ? 0 : name == "route" ? 1 : name == "intake" ? 2 : -1;
    if (group < 0)
      return Status::InvalidArgument("--by: unknown group \"" + item +
                                     "\" (nuclide, route, intake)");
    if (listed[group]) return Status::InvalidArgument("--by: \"" + item + "\" listed twice");
    listed[group] = true;
  }
  options->byNuclide = options->byNuclide || listed[0];
  options->byRoute = options->byRoute || listed[1];
  options->byIntake = options->byIntake || listed[2];
  return Status::Ok();
}

Status ParseCompress(const std::string& value, BatchOptions* options) {
  const std::optional<output::Compression> compression = output::ParseCompression(value);
  if (!compression) return Status::InvalidArgument("--compress takes gzip");
  options->compress = *compression;
  return Status::Ok();
}

Status ParseHighLetWeight(const std::string& value, BatchOptions* options) {
  double weight = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), weight);
  if (error != std::errc() || end != value.data() + value.size() || !std::isfinite(weight) ||
      weight < 0) {
    return Status::InvalidArgument("--high-let-weight takes a finite number, 0 or more");
  }
  options->highLetWeight = weight;
  return Status::Ok();
}

Status ParseRiskUnit(const std::string& value, BatchOptions* options) {
  const std::optional<output::RiskUnit> unit = output::ParseRiskUnit(value);
  if (!unit) return Status::InvalidArgument("--risk-unit takes mGy, Gy or cGy");
  options->riskUnit = *unit;
  return Status::Ok();
}

// "HIGH,LOW": the names of the high- and low-LET radiation in risk_input.csv.
Status ParseRadiationNames(const std::string& value, BatchOptions* options) {
  const std::vector<std::string> names = base::SplitCommas(value);
  if (names.size() != 2 || names[0].empty() || names[1].empty() || names[0] == names[1])
    return Status::InvalidArgument(
        "--radiation-names takes two different names, high LET first: HIGH,LOW");
  options->highLetName = names[0];
  options->lowLetName = names[1];
  return Status::Ok();
}

// What an option sets: a switch, its value kept as given, or its value read
// by a function that may refuse it.
using Switch = bool BatchOptions::*;
using Text = std::string BatchOptions::*;
using OptionalText = std::optional<std::string> BatchOptions::*;
using Parser = Status (*)(const std::string& value, BatchOptions* options);

// One option of the command line: its names, the noun of its value in the
// "needs a ..." message (empty for a switch) and what it sets.
struct OptionSpec {
  std::string_view name;
  std::string_view shortName;  // empty when it has none
  std::string_view valueNoun;
  std::variant<Switch, Text, OptionalText, Parser> target;
};

constexpr auto kOptions = std::to_array<OptionSpec>({
    {"--data-set", "", "a value", &ParseDataSet},
    {"--data-dir", "", "a folder", &BatchOptions::dataDir},
    {"--output-dir", "", "a folder", &BatchOptions::outputDir},
    {"--times", "", "a file", &BatchOptions::timesFile},
    {"--periods", "", "a list", &ParsePeriods},
    {"--ages", "", "a list", &BatchOptions::ages},
    {"--regions", "", "a list", &BatchOptions::regions},
    {"--jobs", "", "a number", &ParseJobs},
    {"--format", "", "a list", &ParseFormatOption},
    {"--figures", "", "a list", &ParseFigureFormats},
    {"--figure-size", "", "WxH", &ParseFigureSize},
    {"--dpi", "", "a number", &ParseDpi},
    {"--compare", "", "ages, forms or nuclides", &ParseComparison},
    {"--form", "", "a number", &ParseForm},
    {"--intakes", "", "a file", &BatchOptions::intakesFile},
    {"--until", "", "a year", &ParseUntil},
    {"--until-age", "", "a number", &ParseUntilAge},
    {"--high-let-weight", "", "a number", &ParseHighLetWeight},
    {"--tail", "", "exponential, zero or cubic", &ParseTailOption},
    {"--by", "", "a list", &ParseBy},
    {"--by-intake", "", "", &BatchOptions::byIntake},
    {"--compress", "", "a method", &ParseCompress},
    {"--sites", "", "a file", &BatchOptions::sitesFile},
    {"--risk-unit", "", "a unit", &ParseRiskUnit},
    {"--radiation-names", "", "two names", &ParseRadiationNames},
    {"--all", "", "", &BatchOptions::allNuclides},
    {"--list-regions", "", "", &BatchOptions::listRegions},
    {"--list-nuclides", "", "", &BatchOptions::listNuclides},
    {"--manifest", "", "", &BatchOptions::manifest},
    {"--check", "", "", &BatchOptions::check},
    {"--curves", "", "", &BatchOptions::curves},
    {"--quiet", "-q", "", &BatchOptions::quiet},
    {"--help", "-h", "", &BatchOptions::help},
    {"--version", "", "", &BatchOptions::version},
});

Status Apply(const OptionSpec& option, const std::string& value, BatchOptions* options) {
  if (const auto* flag = std::get_if<Switch>(&option.target)) {
    options->** flag = true;
  } else if (const auto* text = std::get_if<Text>(&option.target)) {
    options->** text = value;
  } else if (const auto* optionalText = std::get_if<OptionalText>(&option.target)) {
    options->** optionalText = value;
  } else {
    return std::get<Parser>(option.target)(value, options);
  }
  return Status::Ok();
}

const OptionSpec* FindOption(std::string_view arg) {
  for (const OptionSpec& option : kOptions) {
    if (arg == option.name || (!option.shortName.empty() && arg == option.shortName)) {
      return &option;
    }
  }
  return nullptr;
}

bool Given(const BatchOptions& options, std::string_view name) {
  return std::find(options.given.begin(), options.given.end(), name) != options.given.end();
}

// Options and nuclide names as given, one at a time; "--" makes the rest names.
Status ReadArguments(const std::vector<std::string>& arguments, BatchOptions* options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string arg = arguments[i];
    std::optional<std::string> value;  // given as --name=value
    if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
      value = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
    }
    const OptionSpec* option = FindOption(arg);
    // A value option's second value would silently replace the first.
    if (option != nullptr && !option->valueNoun.empty() && Given(*options, option->name)) {
      return Status::InvalidArgument("option " + std::string(option->name) +
                                     " given more than once");
    }
    if (option != nullptr) options->given.emplace_back(option->name);
    if (option != nullptr && !option->valueNoun.empty()) {
      if (!value) {
        if (i + 1 >= arguments.size()) {
          return Status::InvalidArgument(arg + " needs " + std::string(option->valueNoun));
        }
        value = arguments[++i];
      }
      if (Status status = Apply(*option, *value, options); !status.ok()) return status;
    } else if (value) {
      return Status::InvalidArgument("option " + arg + " takes no value");
    } else if (option != nullptr) {
      if (Status status = Apply(*option, "", options); !status.ok()) return status;
    } else if (arg == "--") {
      options->nuclides.insert(options->nuclides.end(),
                               arguments.begin() + static_cast<long>(i) + 1, arguments.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Status::InvalidArgument("unknown option " + arg);
    } else {
      options->nuclides.push_back(arg);
    }
  }
  return Status::Ok();
}

// The figure options shape figures: without --figures they would do nothing.
Status CheckFigureOptions(const BatchOptions& options) {
  const plot::FigureSize unchanged;
  const bool sized = options.figureSize.widthInches != unchanged.widthInches ||
                     options.figureSize.heightInches != unchanged.heightInches ||
                     options.figureSize.dpi != unchanged.dpi;
  if (options.figures.empty() && (sized || options.compare != run::Comparison::kNone))
    return Status::InvalidArgument("--figure-size, --dpi and --compare need --figures");
  if (options.form && options.compare != run::Comparison::kNuclides)
    return Status::InvalidArgument("--form is for --compare nuclides");
  if (options.compare == run::Comparison::kNuclides &&
      (options.allNuclides || options.nuclides.size() > run::kMaxCurvesPerFigure)) {
    return Status::InvalidArgument("--compare nuclides takes at most " +
                                   std::to_string(run::kMaxCurvesPerFigure) +
                                   " named nuclides (a figure holds at most " +
                                   std::to_string(run::kMaxCurvesPerFigure) + " curves)");
  }
  return Status::Ok();
}

// An intake history says itself what the table options would choose.
Status CheckIntakeOptions(const BatchOptions& options) {
  for (const char* name :
       {"--data-set", "--ages", "--all", "--times", "--periods", "--check", "--list-regions",
        "--list-nuclides", "--curves", "--compare", "--form"}) {
    if (Given(options, name)) {
      return Status::InvalidArgument(std::string("--intakes takes no ") + name +
                                     ": the intake file says what each intake is");
    }
  }
  if (!options.nuclides.empty())
    return Status::InvalidArgument("--intakes takes no nuclide names: the intake file names them");
  if (Given(options, "--format") && options.formats.text)
    return Status::InvalidArgument("--intakes writes csv and json, not txt");
  if (options.formats.risk && !options.sitesFile)
    return Status::InvalidArgument("--format risk needs --sites FILE");
  for (const char* name : {"--sites", "--risk-unit", "--radiation-names"}) {
    if (Given(options, name) && !options.formats.risk)
      return Status::InvalidArgument(std::string(name) + " needs --format risk");
  }
  const bool csv = !Given(options, "--format") || options.formats.csv || options.formats.risk ||
                   options.byIntake || options.byNuclide || options.byRoute;
  if (Given(options, "--compress") && !csv)
    return Status::InvalidArgument("--compress is for CSV files: give --format csv or --by");
  return CheckFigureOptions(options);
}

// What the options ask for must be one thing that can be done.
Status CheckCombination(const BatchOptions& options) {
  if (options.help || options.version) return Status::Ok();
  if (options.intakesFile) return CheckIntakeOptions(options);
  for (const char* name : {"--until", "--until-age", "--by", "--by-intake", "--high-let-weight",
                           "--sites", "--risk-unit", "--radiation-names"}) {
    if (Given(options, name))
      return Status::InvalidArgument(std::string(name) + " needs --intakes");
  }
  if (options.formats.risk) return Status::InvalidArgument("--format risk needs --intakes");
  // Without a CSV file to write it would do nothing.
  if (Given(options, "--compress") && !options.formats.csv && !options.curves)
    return Status::InvalidArgument("--compress is for CSV files: give --format csv or --curves");
  // An action replaces the run: nuclides given with it would silently be ignored.
  const char* action = options.check          ? "--check"
                       : options.listRegions  ? "--list-regions"
                       : options.listNuclides ? "--list-nuclides"
                                              : nullptr;
  if (action != nullptr && (options.allNuclides || !options.nuclides.empty())) {
    return Status::InvalidArgument(std::string(action) + " takes no nuclide names and no --all");
  }
  if (options.periods && options.timesFile)
    return Status::InvalidArgument("give --periods or --times, not both");
  if (options.check && options.periods)
    return Status::InvalidArgument("--check checks the times file; --periods is for runs");
  if (options.check) return Status::Ok();
  if (!options.dataKind)
    return Status::InvalidArgument("--data-set inhalation|ingestion is required");
  if (action != nullptr) return Status::Ok();
  if (options.allNuclides && !options.nuclides.empty()) {
    return Status::InvalidArgument("name nuclides or give --all, not both");
  }
  if (!options.allNuclides && options.nuclides.empty()) {
    return Status::InvalidArgument("no nuclide named (or give --all)");
  }
  return CheckFigureOptions(options);
}

}  // namespace

base::Result<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments) {
  BatchOptions options;
  options.arguments = arguments;
  if (Status status = ReadArguments(arguments, &options); !status.ok()) return status;
  if (Status status = CheckCombination(options); !status.ok()) return status;
  return options;
}

}  // namespace quillmore::app
