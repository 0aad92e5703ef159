#include "calendar/table_headers.hpp"

#include <algorithm>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/folded_text.hpp"

namespace gironario {

namespace {

struct HeaderName {
    Column column;
    std::string_view name;
};

// The names a header gives each column, as written in the sheets met so far; they are compared
// by header_key(), so "N. gara", "n_gara" and "NGara" are one name.
constexpr HeaderName header_names[] = {
    {Column::date, "Data"},
    {Column::date, "Date"},
    {Column::day, "Giorno"},
    {Column::date, "Data gara"},
    {Column::date, "Data partita"},
    {Column::date, "Data incontro"},
    {Column::date, "Data evento"},
    {Column::date, "Data ora"},
    {Column::date, "Data e ora"},
    {Column::date, "Data/ora"},
    {Column::date, "Match date"},
    {Column::date, "Date time"},
    {Column::date, "Date/time"},
    {Column::time, "Ora"},
    {Column::time, "Orario"},
    {Column::time, "Ore"},
    {Column::time, "Time"},
    {Column::time, "Inizio"},
    {Column::time, "Ora inizio"},
    {Column::time, "Orario inizio"},
    {Column::time, "Ora gara"},
    {Column::time, "Orario gara"},
    {Column::time, "Start"},
    {Column::time, "Start time"},
    {Column::time, "Kick off"},
    {Column::home, "Casa"},
    {Column::home, "Squadra A"},
    {Column::home, "Squadra 1"},
    {Column::home, "Squadra casa"},
    {Column::home, "Squadra di casa"},
    {Column::home, "Squadra in casa"},
    {Column::home, "Sq casa"},
    {Column::home, "Ospitante"},
    {Column::home, "Squadra ospitante"},
    {Column::home, "Locali"},
    {Column::home, "Home"},
    {Column::home, "HomeTeam"},
    {Column::home, "Home team"},
    {Column::away, "Ospite"},
    {Column::away, "Squadra B"},
    {Column::away, "Squadra 2"},
    {Column::away, "Ospiti"},
    {Column::away, "Squadra ospite"},
    {Column::away, "Sq ospite"},
    {Column::away, "Trasferta"},
    {Column::away, "Away"},
    {Column::away, "AwayTeam"},
    {Column::away, "Away team"},
    {Column::away, "Visitors"},
    {Column::title, "Partita"},
    {Column::title, "Incontro"},
    {Column::title, "Gara"},
    {Column::title, "Match"},
    {Column::title, "Descrizione"},
    {Column::title, "Evento"},
    {Column::title, "Squadre"},
    {Column::title, "Summary"},
    {Column::place, "Campo"},
    {Column::place, "Campo di gioco"},
    {Column::place, "Campo gara"},
    {Column::place, "Palestra"},
    {Column::place, "Impianto"},
    {Column::place, "Impianto sportivo"},
    {Column::place, "Palazzetto"},
    {Column::place, "Palasport"},
    {Column::place, "Luogo"},
    {Column::place, "Sede"},
    {Column::place, "Stadio"},
    {Column::place, "Venue"},
    {Column::place, "Location"},
    {Column::address, "Indirizzo"},
    {Column::address, "Via"},
    {Column::address, "Indirizzo campo"},
    {Column::address, "Address"},
    {Column::league, "Campionato"},
    {Column::league, "Categoria"},
    {Column::league, "Girone"},
    {Column::town, "Comune"},
    {Column::town, "Citta"},
    {Column::town, "Localita"},
    {Column::town, "Paese"},
    {Column::town, "City"},
    {Column::town, "Town"},
    {Column::number, "N"},
    {Column::number, "Nr"},
    {Column::number, "Num"},
    {Column::number, "Numero"},
    {Column::number, "N gara"},
    {Column::number, "Nr gara"},
    {Column::number, "Num gara"},
    {Column::number, "Numero gara"},
    {Column::number, "Codice"},
    {Column::number, "Codice gara"},
    {Column::number, "Cod gara"},
    {Column::number, "ID"},
    {Column::number, "Match ID"},
    {Column::number, "#"},
};

// A header name as compared: folded, without the spaces, dots, underscores, apostrophes ("Citta'")
// and degree signs ("N°") that sheets sprinkle differently.
std::string header_key(std::string_view name, bool utf8) {
    std::string key = folded(name, utf8);
    static constexpr std::string_view degree = "\xC2\xB0", ordinal = "\xC2\xBA";
    for (const std::string_view sign : {degree, ordinal}) {
        for (std::size_t at; (at = key.find(sign)) != std::string::npos;) {
            key.erase(at, sign.size());
        }
    }
    std::erase_if(key, [](char c) { return c == ' ' || c == '.' || c == '_' || c == '\''; });
    return key;
}

}  // namespace

std::optional<Column> column_named(std::string_view cell, bool utf8) {
    // The names' keys are made once: a header is looked for in every row of a long league.
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> made;
        for (const HeaderName& name : header_names) {
            made.push_back(header_key(name.name, true));
        }
        return made;
    }();
    if (cell.empty() || is_digit(cell.front())) {
        return std::nullopt;
    }
    const std::string key = header_key(cell, utf8);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key) {
            return header_names[i].column;
        }
    }
    // "IndirizzoImpianto", "Indirizzo campo": any address.
    if (key.starts_with("indirizzo")) {
        return Column::address;
    }
    // A match's code, its words either way round: "Gara N", "GaraN", "N\xC2\xB0 gara", "Num. gara".
    for (const std::string_view match : {"gara", "partita"}) {
        for (const std::string_view code : {"n", "nr", "num", "numero", "codice", "cod", "id"}) {
            if (key == std::string(match) + std::string(code) ||
                key == std::string(code) + std::string(match)) {
                return Column::number;
            }
        }
    }
    return std::nullopt;
}

std::string date_names() {
    std::string names;
    for (const HeaderName& name : header_names) {
        if (name.column == Column::date || name.column == Column::day) {
            names += names.empty() ? "" : ", ";
            names += name.name;
        }
    }
    return names;
}

}  // namespace gironario
