#include "driver/options.hpp"

#include <getopt.h>

#include <climits>
#include <vector>

namespace gironario {

const std::string_view usage =
    "Uso: gironario\n"
    "     gironario -f FORMATO [-a ANNI] [-o FILE] [--durata=MINUTI] [--sovrapposizioni]\n"
    "               [--nome=TESTO] [--fuso=FUSO] [--squadra=TESTO...] [--luogo=NOME...]\n"
    "               [CALENDARIO...]\n"
    "     gironario CALENDARIO...\n"
    "     gironario --help | --version\n"
    "\n"
    "Unisce calendari di gare in un solo calendario, in ordine di data e ora, con una riga\n"
    "vuota dopo ogni giornata.\n"
    "\n"
    "Senza opzioni unisce calendario1.txt e calendario2.txt della cartella corrente: chiede il\n"
    "formato (t testo, w Word, x Excel, h pagina web), poi quante cifre (2 o 4) ha l'anno in\n"
    "ciascun calendario, e scrive calendario.txt, calendario.doc, calendario.xls o\n"
    "calendario.html (i formati x e h passano per temp.txt). Alla fine chiede se ricominciare\n"
    "(y/n). Ogni risposta si conferma con invio.\n"
    "\n"
    "Con le opzioni fa una sola esecuzione, senza domande, sui CALENDARI indicati (almeno\n"
    "uno, nel loro ordine; senza: calendario1.txt e calendario2.txt):\n"
    "  -f, --formato=FORMATO  t, w, x, h come sopra, oppure i: calendario.ics, da importare\n"
    "                         nel calendario del telefono, oppure p: calendario-pagina.html,\n"
    "                         le gare giorno per giorno, da leggere sul telefono o stampare\n"
    "  -a, --anni=ANNI        cifre dell'anno: 2, 4 o auto (contate nelle date del calendario)\n"
    "                         per tutti i calendari, oppure un valore per ciascuno, separati\n"
    "                         da virgole, nel loro ordine (4,2,auto); senza -a: auto\n"
    "  -o, --uscita=FILE      scrive il risultato in FILE invece che nel file del formato\n"
    "                         (x e h senza temp.txt); con - lo scrive sullo standard output\n"
    "      --durata=MINUTI    durata di ogni gara, da 1 a 1440 (di solito 120): nel formato i\n"
    "                         e per le sovrapposizioni\n"
    "      --sovrapposizioni  segnala anche le gare di calendari diversi che si sovrappongono\n"
    "                         in luoghi diversi\n"
    "      --nome=TESTO       nome del calendario nel formato i (di solito il nome del file\n"
    "                         senza estensione) e titolo della pagina del formato p (di\n"
    "                         solito Calendario)\n"
    "      --fuso=FUSO        fuso orario delle ore nel formato i: Europe/Rome (di solito),\n"
    "                         oppure locale (l'ora come scritta, nel fuso del telefono)\n"
    "      --squadra=TESTO    tiene solo le gare che nominano TESTO (maiuscole, accenti e spazi\n"
    "                         ripetuti non contano), in ogni calendario; una volta per ogni\n"
    "                         squadra da tenere\n"
    "      --luogo=NOME       il luogo di una riga di testo che comincia con NOME (di pi\xF9\n"
    "                         parole, come \"Palestra Pascoli\") \xE8 NOME intero; una volta per\n"
    "                         ogni luogo. Valgono cos\xEC anche i luoghi delle tabelle e dei .ics\n"
    "      --help             mostra questo aiuto\n"
    "      --version          mostra la versione\n"
    "\n"
    "Con i soli CALENDARI, senza opzioni (come quando in Windows si trascinano i file su\n"
    "gironario.exe), chiede soltanto il formato, uno qualsiasi dei sei, e scrive il suo file\n"
    "nella cartella del primo calendario (x e h senza temp.txt); le cifre dell'anno sono auto.\n"
    "In una finestra aperta apposta per il programma, alla fine aspetta invio.\n"
    "\n"
    "Che cosa sia un CALENDARIO lo dice il suo contenuto: un foglio Excel (.xlsx, .xls) o\n"
    "OpenDocument (.ods), una pagina web con una tabella, un documento (.docx, .odt) o una\n"
    "tabella di testo (.csv, .tsv: il file di una federazione, un foglio salvato come CSV) danno\n"
    "una gara per riga, le colonne trovate dai nomi dell'intestazione (Data, Ora, Casa, Ospite,\n"
    "Campo...); un calendario di un'app (iCalendar, .ics) una gara per evento, in ora italiana,\n"
    "saltati quelli annullati. Un PDF, un'immagine o un file da cui non si legge nessuna gara\n"
    "fermano l'esecuzione. Le loro gare vanno al loro posto per data e ora, scritte nei formati\n"
    "t, w, x, h come NUMERO gg/mm/aa hh:mm LUOGO PARTITA. Quelle senza data o ora leggibili\n"
    "(\"da definire\") vengono segnalate e stanno sotto \"Da controllare\" nel formato p; un\n"
    "calendario senza nemmeno una gara datata ferma l'esecuzione, senza scrivere nulla.\n"
    "\n"
    "Un file viene sostituito solo quando il nuovo \xE8 completo: un'esecuzione non riuscita\n"
    "lascia tutti i file come erano.\n"
    "Le righe di un calendario che la fusione non riesce a leggere (data o ora fuori posto,\n"
    "cifre dell'anno sbagliate, gare fuori ordine, righe di gara che non cominciano con il\n"
    "numero) vengono segnalate su standard error con il nome del file e il numero di riga; i\n"
    "file scritti non cambiano.\n"
    "Allo stesso modo vengono segnalate due gare nello stesso luogo (la prima parola dopo\n"
    "l'ora, maiuscole o minuscole non contano) a orari che si sovrappongono, con le opzioni e\n"
    "senza: la palestra \xE8 occupata due volte. La stessa gara in due calendari non conta.\n"
    "Una gara fuori ordine non sempre viene confrontata.\n"
    "Nel formato i ogni gara tiene il suo UID (nome del file e numero della gara) anche se\n"
    "cambia data, ora o luogo; se il file da sostituire \xE8 stato scritto da gironario, le\n"
    "gare cambiate salgono di SEQUENCE, quelle tolte spariscono e dopo \"Complimenti\" viene\n"
    "elencato che cosa \xE8 cambiato (spostata, cambiata, nuova, tolta).\n"
    "I testi a video seguono la codifica del locale (UTF-8 o Latin-1); i file scritti no.\n"
    "Stato di uscita: 0 riuscito, 1 non riuscito, 2 opzioni sbagliate.\n";

namespace {

enum LongOnly : int {
    duration_option = 1000,
    overlaps_option,
    team_option,
    place_option,
    name_option,
    zone_option,
    help_option,
    version_option
};

std::optional<Format> format_of(std::string_view value) {
    if (value.size() != 1) {
        return std::nullopt;
    }
    return format_of_letter(value[0], false);
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

// One value, or several separated by commas.
std::optional<std::vector<std::optional<int>>> years_of(std::string_view value) {
    std::vector<std::optional<int>> years;
    for (;;) {
        const std::size_t comma = value.find(',');
        const std::optional<int> digits = year_digits_of(value.substr(0, comma));
        if (!digits) {
            return std::nullopt;
        }
        years.push_back(*digits == 0 ? std::nullopt : std::optional<int>(*digits));
        if (comma == std::string_view::npos) {
            return years;
        }
        value.remove_prefix(comma + 1);
    }
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
        {"uscita", required_argument, nullptr, 'o'},
        {"durata", required_argument, nullptr, duration_option},
        {"nome", required_argument, nullptr, name_option},
        {"sovrapposizioni", no_argument, nullptr, overlaps_option},
        {"fuso", required_argument, nullptr, zone_option},
        {"squadra", required_argument, nullptr, team_option},
        {"luogo", required_argument, nullptr, place_option},
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
    bool zone_given = false;
    bool options_given = false;
    for (;;) {
        const int option = getopt_long(argc, arguments.data(), ":f:a:o:", long_options, nullptr);
        if (option == -1) {
            break;
        }
        options_given = true;
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
                return failed("formato non valido: " + quoted(value) + " (" +
                              format_letters([](const FormatRow&) { return true; }) + ")");
            case 'a':
                if (const auto years = years_of(value)) {
                    options.year_digits = *years;
                    break;
                }
                return failed("cifre dell'anno non valide: " + quoted(value) +
                              " (2, 4 o auto, oppure uno di questi per ogni calendario, separati "
                              "da virgole)");
            case 'o':
                if (value.empty()) {
                    return failed("manca il nome del file di uscita: -o FILE");
                }
                options.output = value;
                break;
            case duration_option:
                if (const std::optional<int> minutes = minutes_of(value)) {
                    options.duration_minutes = *minutes;
                    break;
                }
                return failed("durata non valida: " + quoted(value) + " (minuti, da 1 a 1440)");
            case overlaps_option:
                options.overlaps = true;
                break;
            case team_option:
                options.teams.emplace_back(value);
                break;
            case place_option:
                options.places.emplace_back(value);
                break;
            case name_option:
                options.name = std::string(value);
                break;
            case zone_option:
                if (const std::optional<IcsZone> zone = ics_zone_named(value)) {
                    options.zone = *zone;
                    zone_given = true;
                    break;
                }
                return failed("fuso orario non valido: " + quoted(value) +
                              " (Europe/Rome o locale)");
            case help_option:
                options.action = Options::Action::help;
                return options;
            case version_option:
                options.action = Options::Action::version;
                return options;
            case ':':
                // Some C libraries say so of a value given to an option that takes none.
                if (typed.starts_with("--") && typed.find('=') != std::string_view::npos) {
                    return failed("l'opzione " + std::string(typed.substr(0, typed.find('='))) +
                                  " non vuole un valore");
                }
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
    // What is left, after the options that getopt_long moved before it, names the calendars.
    options.calendars.assign(arguments.begin() + optind, arguments.begin() + argc);
    if (!format_given) {
        // Only a user who gave no option at all can be asked the format: with other options
        // it is a script, which must not wait for an answer.
        if (options_given || options.calendars.empty()) {
            return failed("manca il formato: -f FORMATO");
        }
        options.action = Options::Action::dropped;
        return options;
    }
    const std::size_t calendars =
        options.calendars.empty() ? std::size_t{2} : options.calendars.size();
    if (options.year_digits.size() != 1 && options.year_digits.size() != calendars) {
        return failed("con -a servono un valore per tutti i calendari o uno per ciascuno: " +
                      std::to_string(options.year_digits.size()) + " valori per " +
                      std::to_string(calendars) + " calendari");
    }
    if (options.name && !format_row(options.format).named) {
        return failed("--nome vale solo con il formato " +
                      format_letters([](const FormatRow& row) { return row.named; }));
    }
    if (zone_given && !format_row(options.format).zoned) {
        return failed("--fuso vale solo con il formato " +
                      format_letters([](const FormatRow& row) { return row.zoned; }));
    }
    options.action = Options::Action::run;
    return options;
}

}  // namespace gironario
