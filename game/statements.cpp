#include "game/statements.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/errors.h"
#include "runtime/lineinput.h"
#include "runtime/numfmt.h"
#include "runtime/port.h"
#include "runtime/screen.h"

namespace game {
namespace {

std::vector<Str*>& allStrs() {
    static std::vector<Str*> v;
    return v;
}
std::vector<Num*>& allNums() {
    static std::vector<Num*> v;
    return v;
}

std::uint32_t temporaryBase = 1;

// The end of every statement: temporaries go, then the event check runs when
// something is pending (an error, the Pause key, the window closing).
void endStatement(const Loc& loc) {
    rt::releaseTemporaries(temporaryBase, 0);
    if (rt::eventPending()) {
        rt::gameHost().eventCheck(loc.line());
    }
}

// A printed literal: new empty permanent string, assign, make fit, print, free.
void printLiteral(const char* text) {
    rt::RuntimeString* s = rt::newString(0, false);
    rt::assign(s, rt::literal(text));
    if (rt::errorPending() == 0) rt::makeFit(s);
    rt::print(s, 0);
    rt::freeString(s);
}

void printNumber(float value) {
    rt::RuntimeString* s = rt::newString(0, false);
    rt::assign(s, rt::concatenate(rt::singleToText(value), rt::literal(" ")));
    if (rt::errorPending() == 0) rt::makeFit(s);
    rt::print(s, 0);
    rt::freeString(s);
}

void printVariable(const Str& v) {
    if (rt::errorPending() == 0) rt::makeFit(v.get());
    rt::print(v.get(), 0);
}

void printPieces(std::initializer_list<Piece> pieces) {
    for (const Piece& p : pieces) {
        switch (p.kind) {
        case Piece::Kind::Literal:
            printLiteral(p.text);
            break;
        case Piece::Kind::Number:
            printNumber(p.number);
            break;
        case Piece::Kind::Variable:
            printVariable(*p.variable);
            break;
        case Piece::Kind::Zone:
            if (rt::errorPending() == 0) rt::nextPrintZone();
            break;
        }
    }
}

// The prompt of an INPUT statement: neither fitted nor ended.
void printPrompt(const char* prompt) {
    if (prompt != nullptr && prompt[0] != '\0') {
        rt::RuntimeString* s = rt::newString(0, false);
        rt::assign(s, rt::literal(prompt));
        rt::print(s, 0);
        rt::freeString(s);
    }
    rt::RuntimeString* q = rt::newString(0, false);
    rt::assign(q, rt::literal("? "));
    rt::print(q, 0);
    rt::freeString(q);
}

void readInto(std::uint32_t kind, void* address, const Loc& loc) {
    rt::setInputVariable(1, kind, address);
    rt::input(1, 1);
    if (rt::stopRequested()) {
        rt::gameHost().stopGameThread();
    }
    endStatement(loc);
}

} // namespace

Str::Str() {
    allStrs().push_back(this);
}
Num::Num() {
    allNums().push_back(this);
}

void createVariables() {
    for (Str* s : allStrs()) {
        if (s->s_ == nullptr) s->s_ = rt::newString(0, false);
    }
    for (Num* n : allNums()) {
        if (n->p_ == nullptr) {
            n->p_ = static_cast<float*>(rt::allocateVariable(sizeof(float)));
            *n->p_ = 0;
        }
    }
}

void resetAll(Loc loc) {
    for (Str* s : allStrs())
        rt::assign(s->get(), rt::emptyString());
    for (Num* n : allNums())
        n->ref() = 0;
    endStatement(loc);
}

void recordTemporaryBase() {
    temporaryBase = rt::temporaryNextIndex();
}

void say(std::initializer_list<Piece> pieces, Loc loc) {
    printPieces(pieces);
    rt::print(rt::emptyString(), 1);
    endStatement(loc);
}

void sayOn(std::initializer_list<Piece> pieces, Loc loc) {
    printPieces(pieces);
    endStatement(loc);
}

void cls(Loc loc) {
    rt::clearScreen(0, 0, 0);
    endStatement(loc);
}

void colour(int foreground, Loc loc) {
    rt::setTextColour(foreground, 0, 0, 1);
    endStatement(loc);
}

void let(const Str& variable, const char* text, Loc loc) {
    rt::assign(variable.get(), rt::literal(text));
    endStatement(loc);
}

bool is(const Str& variable, const char* text, Loc loc) {
    std::int32_t r =
        rt::releaseTemporaries(temporaryBase, rt::equality(variable.get(), rt::literal(text)));
    if (rt::eventPending()) {
        rt::gameHost().eventCheck(loc.line());
    }
    return r != 0;
}

void ask(const char* prompt, const Str& variable, Loc loc) {
    printPrompt(prompt);
    readInto(rt::kKindString, variable.get(), loc);
}

void ask(const char* prompt, const Num& variable, Loc loc) {
    printPrompt(prompt);
    readInto(rt::kKindSingle, &variable.ref(), loc);
}

void endProgram(Loc loc) {
    (void)loc;
    rt::gameHost().endProgram();
    std::abort(); // end program does not return
}

} // namespace game
