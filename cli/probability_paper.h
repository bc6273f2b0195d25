// The probability papers a plot can be drawn on, and their axis transform: time across (on a log
// scale or a linear one) and unreliability F up, each paper with its own scale of F, chosen so that
// its distribution's two-parameter form is a straight line:
//   weibull      x = ln t, y = ln(-ln(1 - F))
//   lognormal    x = ln t, y = Phi^-1(F)
//   normal       x = t,    y = Phi^-1(F)
//   exponential  x = t,    y = -ln(1 - F)
#pragma once

#include <string>

enum class PaperKind { weibull, lognormal, normal, exponential };

// The word of --paper and of the Python package. Inline, so that the option parser needs nothing of
// the drawing to read one.
inline const char* paperName(PaperKind kind)
{
    switch (kind) {
    case PaperKind::lognormal: return "lognormal";
    case PaperKind::normal: return "normal";
    case PaperKind::exponential: return "exponential";
    case PaperKind::weibull: break;
    }
    return "weibull";
}

// False for a word that names no paper.
inline bool paperFromName(const std::string& word, PaperKind& kind)
{
    for (PaperKind k : {PaperKind::weibull, PaperKind::lognormal, PaperKind::normal, PaperKind::exponential}) {
        if (word == paperName(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

struct PaperScale {
    PaperKind kind = PaperKind::weibull;

    bool logarithmicTime() const { return kind == PaperKind::weibull || kind == PaperKind::lognormal; }
    // x of a time (t - gamma where the paper has a location) and back.
    double x(double time) const;
    double time(double x) const;
    // y of an unreliability F, accurate for small F; -infinity at 0 and +infinity at 1 except on
    // exponential paper, where F = 0 is y = 0.
    double y(double F) const;
    // "Weibull", "Lognormal", ...: the heading's word.
    const char* title() const;
};
