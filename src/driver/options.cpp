#include "driver/options.hpp"

#include <getopt.h>

#include <climits>
#include <vector>

namespace gironario {

const std::string_view usage =
    "Uso: gironario\n"
    "     gironario -f FORMATO [-a ANNI] [--durata=MINUTI] [--fuso=FUSO] [--nome=TESTO]\n"
    "     gironario --help | --version\n"
    "\n"
    "Unisce i calendari calendario1.txt e calendario2.txt della cartella corrente in un solo\n"
    "calendario, in ordine di data e ora, con una riga vuota dopo ogni giornata.\n"
    "\n"
    "Senza opzioni chiede il formato (t testo, w Word, x Excel, h pagina web), poi quante cifre\n"
    "(2 o 4) ha l'anno in ciascun calendario, e scrive calendario.txt, calendario.doc,\n"
    "calendario.xls o calendario.html (i formati x e h passano per temp.txt). Alla fine chiede\n"
    "se ricominciare (y/n). Ogni risposta si conferma con invio.\n"
    "\n"
    "Con le opzioni fa una sola esecuzione, senza domande:\n"
    "  -f, --formato=FORMATO  t, w, x, h come sopra, oppure i: calendario.ics, da importare\n"
    "                         nel calendario del telefono\n"
    "  -a, --anni=ANNI        cifre dell'anno: 2, 4 o auto (contate nelle date del calendario)\n"
    "                         per entrambi i calendari, oppure due valori separati da una\n"
    "                         virgola, per calendario1.txt e calendario2.txt (4,2);\n"
    "                         senza -a: auto\n"
    "      --durata=MINUTI    durata di ogni gara nel formato i, da 1 a 1440 (di solito 120)\n"
    "      --fuso=FUSO        fuso orario delle ore nel formato i: Europe/Rome (di solito),\n"
    "                         oppure locale (l'ora come scritta, nel fuso del telefono)\n"
    "      --nome=TESTO       nome del calendario nel formato i (di solito calendario)\n"
    "      --help             mostra questo aiuto\n"
    "      --version          mostra la versione\n"
    "\n"
    "Le righe di un calendario che la fusione non riesce a leggere (data o ora fuori posto,\n"
    "cifre dell'anno sbagliate, gare fuori ordine) vengono segnalate su standard error con il\n"
    "nome del file e il numero di riga; i file scritti non cambiano.\n"
    "Nel formato i ogni gara tiene il suo UID (nome del file e numero della gara) anche se\n"
    "cambia data, ora o luogo; se calendario.ics esiste ed \xE8 stato scritto da gironario,\n"
    "le gare cambiate salgono di SEQUENCE, quelle tolte spariscono e dopo \"Complimenti\"\n"
    "viene elencato che cosa \xE8 cambiato (spostata, cambiata, nuova, tolta).\n"
    "I testi a video seguono la codifica del locale (UTF-8 o Latin-1); i file scritti no.\n"
    "Stato di uscita: 0 riuscito, 1 non riuscito, 2 opzioni sbagliate.\n";

namespace {

enum LongOnly : int {
    duration_option = 1000,
    zone_option,
    name_option,
    help_option,
    version_option
};

std::optional<Format> format_of(std::string_view value) {
    if (value.size() != 1) {
        return std::nullopt;
    }
    if (value[0] == 'i' || value[0] == 'I') {
        return Format::icalendar;
    }
    return parse_format(value[0]);
}

// The year digits of "2" or "4", and 0 for "auto".
std::optional<int> year_digits_of(std::string_view value) {
    if (value == "auto") {
        return 0;
    }
    if (value == "2" || value == "4") {
        return value[0] - '0';
    }
    return std::nullopt;
}

std::optional<std::array<std::optional<int>, 2>> years_of(std::string_view value) {
    const std::size_t comma = value.find(',');
    const std::optional<int> first = year_digits_of(value.substr(0, comma));
    const std::optional<int> second =
        comma == std::string_view::npos ? first : year_digits_of(value.substr(comma + 1));
    if (!first || !second) {
        return std::nullopt;
    }
    std::array<std::optional<int>, 2> years;
    if (*first != 0) {
        years[0] = *first;
    }
    if (*second != 0) {
        years[1] = *second;
    }
    return years;
}

// Digits only, from 1 to 1440.
std::optional<int> minutes_of(std::string_view value) {
    if (value.empty()) {
        return std::nullopt;
    }
    int minutes = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        minutes = minutes > 1440 ? minutes : minutes * 10 + (c - '0');
    }
    if (minutes < 1 || minutes > 1440) {
        return std::nullopt;
    }
    return minutes;
}

Options failed(std::string error) {
    Options options;
    options.action = Options::Action::usage_error;
    options.error = std::move(error);
    return options;
}

std::string quoted(std::string_view value) {
    std::string text(1, '"');
    text.append(value).push_back('"');
    return text;
}

}  // namespace

Options parse_options(int argc, char* const argv[]) {
    static const option long_options[] = {
        {"formato", required_argument, nullptr, 'f'},
        {"anni", required_argument, nullptr, 'a'},
        {"durata", required_argument, nullptr, duration_option},
        {"fuso", required_argument, nullptr, zone_option},
        {"nome", required_argument, nullptr, name_option},
        {"help", no_argument, nullptr, help_option},
        {"version", no_argument, nullptr, version_option},
        {nullptr, 0, nullptr, 0},
    };
    Options options;
    if (argc <= 1) {
        return options;
    }
    // getopt_long reorders the arguments it is given; the caller's stay as they are.
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    opterr = 0;  // the messages are the program's own, in Italian
    optind = 0;  // from the start, however often it is called
    bool format_given = false;
    bool duration_given = false;
    std::string_view icalendar_only;  // the first option given that only the format i takes
    for (;;) {
        const int option = getopt_long(argc, arguments.data(), ":f:a:", long_options, nullptr);
        if (option == -1) {
            break;
        }
        const std::string_view value = optarg != nullptr ? optarg : "";
        // The argument just read, as the user typed it.
        const std::string_view typed = arguments[static_cast<std::size_t>(optind - 1)];
        switch (option) {
            case 'f':
                if (const std::optional<Format> format = format_of(value)) {
                    options.format = *format;
                    format_given = true;
                    break;
                }
                return failed("formato non valido: " + quoted(value) + " (t, w, x, h o i)");
            case 'a':
                if (const auto years = years_of(value)) {
                    options.year_digits = *years;
                    break;
                }
                return failed("cifre dell'anno non valide: " + quoted(value) +
                              " (2, 4 o auto, oppure due di questi separati da una virgola)");
            case duration_option:
                if (const std::optional<int> minutes = minutes_of(value)) {
                    options.duration_minutes = *minutes;
                    duration_given = true;
                    break;
                }
                return failed("durata non valida: " + quoted(value) + " (minuti, da 1 a 1440)");
            case zone_option:
                if (const std::optional<IcsZone> zone = ics_zone_named(value)) {
                    options.zone = *zone;
                    icalendar_only = icalendar_only.empty() ? "--fuso" : icalendar_only;
                    break;
                }
                return failed("fuso orario non valido: " + quoted(value) +
                              " (Europe/Rome o locale)");
            case name_option:
                options.name = std::string(value);
                icalendar_only = icalendar_only.empty() ? "--nome" : icalendar_only;
                break;
            case help_option:
                options.action = Options::Action::help;
                return options;
            case version_option:
                options.action = Options::Action::version;
                return options;
            case ':':
                return failed("manca il valore dell'opzione " + std::string(typed));
            default:
                if (optopt >= duration_option) {
                    return failed("l'opzione " + std::string(typed.substr(0, typed.find('='))) +
                                  " non vuole un valore");
                }
                if (optopt != 0) {
                    return failed("opzione non riconosciuta: -" +
                                  std::string(1, static_cast<char>(optopt)));
                }
                return failed("opzione non riconosciuta o ambigua: " + std::string(typed));
        }
    }
    if (optind < argc) {
        return failed("argomento non riconosciuto: " +
                      std::string(arguments[static_cast<std::size_t>(optind)]));
    }
    if (!format_given) {
        return failed("manca il formato: -f FORMATO");
    }
    if (duration_given && options.format != Format::icalendar) {
        return failed("--durata vale solo con il formato i");
    }
    if (!icalendar_only.empty() && options.format != Format::icalendar) {
        return failed(std::string(icalendar_only) + " vale solo con il formato i");
    }
    options.action = Options::Action::run;
    return options;
}

}  // namespace gironario
