// gironario: merges two match calendars into one, asking in Italian how to write it.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "driver/dialogue.hpp"
#include "driver/folder.hpp"

#ifndef GIRONARIO_VERSION
#define GIRONARIO_VERSION "0"
#endif

namespace {

constexpr std::string_view usage =
    "Uso: gironario [--help | --version]\n"
    "\n"
    "Unisce i calendari calendario1.txt e calendario2.txt della cartella corrente in un solo\n"
    "calendario, in ordine di data e ora, con una riga vuota dopo ogni giornata.\n"
    "Chiede il formato (t testo, w Word, x Excel, h pagina web), poi quante cifre (2 o 4) ha\n"
    "l'anno in ciascun calendario, e scrive calendario.txt, calendario.doc, calendario.xls o\n"
    "calendario.html (i formati x e h passano per temp.txt). Alla fine chiede se ricominciare\n"
    "(y/n). Ogni risposta si conferma con invio.\n";

// Standard output is checked once at the end: a failed write would otherwise go unseen.
int close_standard_output(int status) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        const int error = errno != 0 ? errno : EIO;
        std::fprintf(stderr, "gironario: standard output: errore di scrittura: %s\n",
                     std::strerror(error));
        return gironario::EXIT_FAILED;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef LC_MESSAGES
    // System error texts in the user's language, where it is installed. Windows has no such
    // category: its C library speaks English only.
    std::setlocale(LC_MESSAGES, "");
#endif

    if (argc > 1) {
        const std::string_view argument = argv[1];
        if (argc == 2 && argument == "--help") {
            std::cout << usage;
            return close_standard_output(gironario::EXIT_OK);
        }
        if (argc == 2 && argument == "--version") {
            std::cout << "gironario " GIRONARIO_VERSION "\n";
            return close_standard_output(gironario::EXIT_OK);
        }
        std::cerr << "gironario: argomento non riconosciuto: " << argument << "\n\n" << usage;
        return gironario::EXIT_USAGE;
    }

    gironario::DiskFolder folder;
    const int status = gironario::run_dialogue(std::cin, std::cout, std::cerr, folder);
    return close_standard_output(status);
}
