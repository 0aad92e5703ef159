#include "driver/answers.hpp"

#include <limits>

namespace gironario {

namespace {

bool is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<Format> parse_format(char letter) {
    return format_of_letter(letter, true);
}

std::optional<int> parse_year_digits(long long answer) {
    if (answer == 2 || answer == 4) {
        return static_cast<int>(answer);
    }
    return std::nullopt;
}

Answer read_character(std::istream& in) {
    char c = 0;
    if (!in.get(c)) {
        return {Answer::Kind::end};
    }
    return {Answer::Kind::value, static_cast<unsigned char>(c)};
}

Answer read_number(std::istream& in) {
    using Traits = std::istream::traits_type;
    int c = in.peek();
    while (c != Traits::eof() && is_space(c)) {
        in.get();
        c = in.peek();
    }
    if (c == Traits::eof()) {
        return {Answer::Kind::end};
    }
    const bool negative = c == '-';
    if (c == '-' || c == '+') {
        in.get();
        c = in.peek();
    }
    if (!is_digit(c)) {
        return {Answer::Kind::not_a_number};
    }
    constexpr long long largest = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; is_digit(c); c = in.peek()) {
        in.get();
        const int digit = c - '0';
        value = value > (largest - digit) / 10 ? largest : value * 10 + digit;
    }
    if (c == Traits::eof()) {
        in.clear();  // the number itself was read; the end shows at the next read
    }
    return {Answer::Kind::value, negative ? -value : value};
}

}  // namespace gironario
