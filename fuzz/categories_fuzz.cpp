// The learnt categories' file as it may be found: whatever its bytes, the reader gives a table
// that writes out and reads back the same; learning from any text keeps that true; and filling
// a row only ever fills its two empty fields.

#include "fuzz_support.h"
#include "state/categories.h"

#include <algorithm>

using namespace kasorel;
using namespace kasorel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::size_t fileSize = static_cast<std::size_t>(in.Byte()) * 16;
    const std::string bytes = in.Take(fileSize).Raw();
    const std::u16string text = in.Text();

    StateProblem problem;
    CategoryTable table = ParseCategories(bytes, problem);
    const std::string written = SerialiseCategories(table);
    StateProblem again;
    Check(SerialiseCategories(ParseCategories(written, again)) == written,
          "what is written reads back the same", FromUtf8(written));
    Check(again == StateProblem::None || problem == StateProblem::Newer,
          "what is written is read without trouble", FromUtf8(written));

    const Learning learning = table.Learn(text);
    Check(learning.taught + learning.known <= learning.shaped, "only rows of the shape teach");
    Check(table.Size() <= kCategoryDescriptionLimit, "the table keeps its bound");
    const std::string learnt = SerialiseCategories(table);
    Check(SerialiseCategories(ParseCategories(learnt, again)) == learnt,
          "what is learnt reads back the same", FromUtf8(learnt));

    for (const std::u16string& row : Lines(text)) {
        const std::optional<std::u16string> filled = table.Fill(row);
        if (filled)
            Check(filled->size() >= row.size() &&
                      std::count(filled->begin(), filled->end(), u'\t') ==
                          std::count(row.begin(), row.end(), u'\t'),
                  "a fill only fills two fields", *filled);
    }
    return 0;
}
