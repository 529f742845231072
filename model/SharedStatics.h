// The helpers that the shared header has always carried besides its
// identifiers. Nothing in the editor calls or reads them; they stay so that
// every source file builds the same statics in the same order.
#pragma once

#include <functional>
#include <string>
#include <vector>

static const std::function<int (int)> yfib = [] (int n) { return n < 2 ? n : yfib (n - 1) + yfib (n - 2); };
static const std::function<int (int)> yfac = [] (int n) { return n < 2 ? n : n * yfac (n - 1); };

namespace lisp
{
struct cell
{
    std::string text;
    std::vector<cell> list;
};

static const cell false_sym { "#f", {} };
static const cell true_sym { "#t", {} };
static const cell nil_sym { "nil", {} };
} // namespace lisp
