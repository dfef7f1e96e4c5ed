// The settings reader and writer on any file content: one write, after which the value reads
// back as written, every other setting reads as before, and the bytes the write replaced lie
// within the one line it rewrote.

#include "convert/errors.h"
#include "fuzz_support.h"
#include "settings/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <utility>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const std::pair<QString, QString> kSettings[] = {
    {QStringLiteral("Ap"), QStringLiteral("MainForm_left")},
    {QStringLiteral("Ap"), QStringLiteral("MainForm_top")},
    {QStringLiteral("Spsheet"), QStringLiteral("URL")},
    {QStringLiteral("exchangeratesapi"), QStringLiteral("APIKey")},
    {QStringLiteral("View"), QStringLiteral("Suica")},
    {QStringLiteral("seikyo"), QStringLiteral("hoken")},
};
constexpr int kSettingCount = sizeof kSettings / sizeof kSettings[0];

const QString kAbsent = QStringLiteral("\x01absent");

bool HasLoneSurrogate(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            return true;
    }
    return false;
}

// The old bytes a write replaced (what lies between the common start and the common end of
// old and new) hold no line break: one line at most was rewritten, the rest only moved.
void CheckOneLineTouched(const QByteArray& before, const QByteArray& after) {
    const bool utf16 = before.startsWith("\xFF\xFE") || before.startsWith("\xFE\xFF");
    const bool bigEndian = before.startsWith("\xFE\xFF");
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    qsizetype from = prefix;
    qsizetype to = before.size() - suffix;
    if (from >= to)
        return; // nothing replaced, only inserted
    if (utf16) {
        // Whole code units from the mark on.
        from -= from % 2;
        to += to % 2;
        to = std::min(to, before.size() - before.size() % 2);
    }
    const qsizetype step = utf16 ? 2 : 1;
    for (qsizetype i = from; i + step <= to; i += step) {
        const unsigned char lo = before[bigEndian ? i + 1 : i];
        const unsigned char hi = utf16 ? before[bigEndian ? i : i + 1] : 0;
        Check(!(hi == 0 && (lo == '\r' || lo == '\n')), "a write touches one line only",
              QString::fromLatin1(before.toHex()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString stem = dir.path() + QStringLiteral("/kasorel");
    const QString path = IniFilePath(stem);

    Bytes in(data, size);
    const std::uint8_t pick = in.Byte();
    const int valueBytes = in.Byte();
    const int intValue = static_cast<int>(in.U64());
    Bytes valuePart = in.Take(valueBytes);
    const QString value = valuePart.Text();
    const QByteArray before = in.Raw();

    const int target = pick % kSettingCount;
    // Names match whatever their case; the writer is given them in upper case at times.
    QString section = kSettings[target].first;
    QString key = kSettings[target].second;
    if (pick & 0x40) {
        section = section.toUpper();
        key = key.toUpper();
    }
    const bool asInteger = pick & 0x80;

    {
        QFile f(path);
        Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the seed file is written");
        f.write(before);
    }
    QString old[kSettingCount];
    for (int i = 0; i < kSettingCount; ++i) {
        old[i] = ReadIniString(stem, kSettings[i].first, kSettings[i].second, kAbsent);
        ReadIniBoolean(stem, kSettings[i].first, kSettings[i].second, false);
    }

    try {
        if (asInteger)
            WriteIniInteger(stem, section, key, intValue);
        else
            WriteIniString(stem, section, key, value);
    } catch (const Exception& e) {
        Fail("a write to a writable folder succeeds", e.message());
    }

    QByteArray after;
    {
        QFile f(path);
        Check(f.open(QIODevice::ReadOnly), "the written file is there");
        after = f.readAll();
    }
    CheckOneLineTouched(before, after);

    if (asInteger) {
        Check(ReadIniInteger(stem, section, key, ~intValue) == intValue,
              "an integer reads back as written", QString::fromLatin1(after.toHex()));
    } else if (!HasLoneSurrogate(value)) {
        // A line break cannot stand in a line; it is kept as a blank.
        QString expected = value;
        expected.replace(u'\r', u' ').replace(u'\n', u' ');
        const QString got = ReadIniString(stem, section, key, kAbsent);
        Check(got == expected, "a value reads back as written",
              value + QStringLiteral("\n=> ") + got + QStringLiteral("\nfile ") +
                  QString::fromLatin1(after.toHex()));
    }
    for (int i = 0; i < kSettingCount; ++i) {
        if (i == target)
            continue;
        Check(ReadIniString(stem, kSettings[i].first, kSettings[i].second, kAbsent) == old[i],
              "every other setting reads as before", QString::fromLatin1(after.toHex()));
    }
    return 0;
}
