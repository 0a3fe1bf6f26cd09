// What a timing test concludes from the component's figures and its two
// controls', and the texts the reports show.
//
// A leak is the component's |t| above the threshold while the
// constant-time control stays below it (a machine that tells the classes
// of a constant-time operation apart proves nothing about the component).
// "No leak" needs, besides, the leaky control above the threshold: only
// then could this run have seen a leak of that size. Anything else is
// inconclusive, which fails the check: a verdict that could not be reached
// is not a pass.
//
// A crossing of the line is taken again on fresh measurements before it
// decides anything: the largest |t| over a hundred crops, looked at on
// every checkpoint, crosses now and then on a sound implementation and a quiet
// machine (once in twenty runs of the DES tests here, at 130 ns a call),
// while a real leak crosses again. Two independent crossings in a row are
// what a false alarm now needs. A leaky control that stays below the line
// is taken again too: one burst of noise can hide it, a noisy machine
// hides it again.
#pragma once

#include "timing/measure_loop.h"

#include <string>

namespace timing {

enum class VerdictKind { NoLeak, Leak, Inconclusive };

struct Verdict {
    VerdictKind kind = VerdictKind::Inconclusive;
    // "leak: |t| = 37.2 after 200 000 measurements", "no leak seen in …",
    // "inconclusive: …".
    std::string text;
    // The smallest shift of the component's mean this run could have seen,
    // in % of its median time.
    double smallestEffectPercent = 0;
};

Verdict Judge(const LoopResult& result);

// True when the component's or the constant-time control's |t| crossed the
// line, or the leaky control's did not: anything but "no leak" from one set
// is to be confirmed on a fresh one.
bool NeedsAFreshSet(const LoopResult& result);

// The verdict of the fresh set again, after first crossed the line; its
// text says what the first set showed.
Verdict Confirmed(const LoopResult& first, const LoopResult& again);

// 200000 as "200 000".
std::string Grouped(std::size_t count);

// The median of both classes' ticks together; 0 when there are none.
double MedianTicks(const SubjectFigures& figures);
double MedianTicks(const SubjectFigures& figures, Class c);

// The class's ticks at each of the fractions (0.5 is the median), sorted
// once; empty when the class has none.
std::vector<double> QuantileTicks(const SubjectFigures& figures, Class c, const std::vector<double>& fractions);

}  // namespace timing
