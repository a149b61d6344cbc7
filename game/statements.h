// The game's statements.
//
// Every statement of the game is one call here. Each uses the console
// runtime in its fixed pattern (a printed literal goes through a new
// permanent string that is assigned, fitted, printed and freed; a comparison
// compares against a temporary literal and releases temporaries; a number is
// formatted, joined with " " and printed), releases the statement's
// temporaries and, when the event-pending flag is set, calls the host's event
// check with the statement's source line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <source_location>
#include <string_view>

#include "runtime/strings.h"

namespace game {

using Loc = std::source_location;

// A text variable of the game. Defined at namespace scope; the runtime string
// behind it is created when the game starts (createVariables), and resetAll
// empties every one of them.
class Str {
  public:
    Str();
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;
    rt::RuntimeString* get() const { return s_; }
    std::string_view view() const { return s_->view(); }

  private:
    friend void createVariables();
    rt::RuntimeString* s_ = nullptr;
};

// A single-precision variable, carved from the runtime's variable block.
class Num {
  public:
    Num();
    Num(const Num&) = delete;
    Num& operator=(const Num&) = delete;
    float& ref() const { return *p_; }
    operator float() const { return *p_; }
    Num& operator=(float v) {
        *p_ = v;
        return *this;
    }
    Num& operator+=(float v) {
        *p_ = *p_ + v;
        return *this;
    }
    Num& operator-=(float v) {
        *p_ = *p_ - v;
        return *this;
    }

  private:
    friend void createVariables();
    float* p_ = nullptr;
};

// Creates every Str and Num defined anywhere in the game (once, at start).
void createVariables();
// resetAll: every text variable empty, every number 0.
void resetAll(Loc loc = Loc::current());

// Records the temporary list's base index (at the game's start).
void recordTemporaryBase();

// One piece of a PRINT statement: a literal, a number (its text and one
// blank), a text variable, or the comma separator (next print zone).
struct Piece {
    enum class Kind : std::uint8_t { Literal, Number, Variable, Zone };
    Kind kind;
    const char* text = nullptr;
    float number = 0;
    const Str* variable = nullptr;

    Piece(const char* t) : kind(Kind::Literal), text(t) {}
    Piece(const Num& n) : kind(Kind::Number), number(n) {}
    Piece(float n) : kind(Kind::Number), number(n) {}
    Piece(const Str& v) : kind(Kind::Variable), variable(&v) {}
    struct ZoneTag {};
    Piece(ZoneTag) : kind(Kind::Zone) {}
};
inline constexpr Piece::ZoneTag zone{};

// PRINT pieces... and end the line.
void say(std::initializer_list<Piece> pieces, Loc loc = Loc::current());
inline void say(Loc loc = Loc::current()) {
    say({}, loc);
}
inline void say(const char* text, Loc loc = Loc::current()) {
    say({Piece(text)}, loc);
}
// PRINT pieces...; (no line end)
void sayOn(std::initializer_list<Piece> pieces, Loc loc = Loc::current());

void cls(Loc loc = Loc::current());
void colour(int foreground, Loc loc = Loc::current());

// text$ = "literal"
void let(const Str& variable, const char* text, Loc loc = Loc::current());
// IF text$ = "literal"
bool is(const Str& variable, const char* text, Loc loc = Loc::current());

// INPUT "prompt"; variable  — prints the prompt and "? " (no make fit, no
// line end), reads the line, and stops the game thread when the window was
// closed meanwhile. An empty prompt prints only "? ".
void ask(const char* prompt, const Str& variable, Loc loc = Loc::current());
void ask(const char* prompt, const Num& variable, Loc loc = Loc::current());

// The end of the program: end program never returns.
[[noreturn]] void endProgram(Loc loc = Loc::current());

} // namespace game
