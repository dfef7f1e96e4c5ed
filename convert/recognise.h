#pragma once

// Which converter a pasted text is for, told from the lines the converters themselves react to.

#include "convert/kinds.h"
#include "convert/shape.h"
#include "convert/textarea.h"

#include <string_view>
#include <vector>

namespace kasorel {

struct KindFit {
    StatementKind kind;
    int entries; // rows that kind's converter would make of the lines no more specific kind claims
    int made = -1; // a kind the person made: its place in made (kind means nothing then)
};

// The kinds that fit memo's text, most specific first, each with its entries; empty when none
// fits. Reads the text only: no setting, no clipboard, no network.
//
// The kinds claim lines in order, and a kind counts only rows made of lines no kind before it
// claimed. The kinds the person made (made, in their order) come first: each entry of their
// shapes (FindEntries) claims its lines. Then the built-in kinds, in the order of
// StatementKind:
//   - 楽天カード: each "支払方法" marker below line 0 that its converter meets, whose data line
//     and itself are unclaimed, is an entry and claims its group (the line above it, itself and
//     the two lines after it). The line above a marker is met as that converter has rewritten
//     it, so it is a marker only when the rewritten line begins with one.
//   - dividends: every "銘柄名" and "入金額" line is claimed. An amount line ending with "円" is
//     a domestic entry; one ending with a blank and three letters A to Z (" USD") whose amount,
//     as the US converter cuts it, reads with decimalSeparator is a US entry; any other amount
//     line is an entry of neither.
//   - View card: a line of four ASCII digits at an index of at most Count() - 4 whose block (it
//     and the three lines after it) holds no claimed line is an entry; the block is claimed.
//     Blocks overlap as the converter's do.
//   - co-op: an unclaimed line that begins with "20" and holds a tab is an entry.
// A kind fits when it has at least one entry. Linear in the size of the text; raises nothing
// on a text of real size.
std::vector<KindFit> RecogniseStatement(const TextArea& memo, std::u16string_view decimalSeparator,
                                        const std::vector<const Shape*>& made = {});

} // namespace kasorel
