#pragma once

// What the program says at the console, written out here on their own rather than taken from the
// program, so that a changed byte in any of them fails the tests ("è" is the Latin-1 byte 0xE8).

#include <string>

namespace gironario::console {

inline const std::string format_question =
    "In quale formato vuoi che venga salvato il calendario?(scrivi t per file di testo,w per "
    "Word,x per Ecxel,h per pagina web e poi premi invio)\n";
inline const std::string format_refused = "Hai inserito un valore non corretto!\n";
inline const std::string year_question_1 =
    "Di quante cifre \xE8 composto l'anno delle date presenti in calendario1.txt?\n";
inline const std::string year_question_2 =
    "Di quante cifre \xE8 composto l'anno delle date presenti in calendario2.txt?\n";
inline const std::string year_refused =
    "Inserimento delle cifre attribuite all'anno non corretto! Riprovare:\n";
inline const std::string restart_question =
    "\nVoui ricominciare?(y/n)\nNB:Scegliendo lo stesso formato dell'esecuzione precedente, si "
    "sovrascrive il vecchio file\n";
// The one question for calendars named with no option, and what follows the run when the
// console window closes with the program.
inline const std::string dropped_format_question =
    "In quale formato vuoi il calendario? Scrivi la lettera e premi invio:\n"
    "  t  testo (calendario.txt)\n"
    "  w  Word (calendario.doc)\n"
    "  x  Excel (calendario.xls)\n"
    "  h  pagina web con una tabella (calendario.html)\n"
    "  i  calendario del telefono (calendario.ics)\n"
    "  p  pagina da leggere sul telefono o da stampare (calendario-pagina.html)\n";
inline const std::string press_enter = "\nPremi invio per chiudere la finestra.\n";
inline const std::string input_ended = "gironario: l'input \xE8 terminato prima della risposta\n";

// The summary of a completed run and its closing message.
inline std::string summary(long long matches, const std::string& file) {
    return "\n" + std::to_string(matches) +
           " gare presenti complessivamente\n- Gironario successfully executed - Congratulations "
           "by Lorvane -\nComplimenti! Il tuo calendario si trova nel file " +
           file + "\n";
}

}  // namespace gironario::console
