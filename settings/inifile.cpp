#include "settings/inifile.h"

#include "convert/primitives.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A small reader and writer of our own rather than an INI library: a write here must leave
// every other byte of the file as it was (comments, spacing, line breaks, undecodable
// bytes), read UTF-16 files and take quotes off values, which the libraries at hand do not
// all do.

namespace kasorel {

EIniFileException::EIniFileException(const QString& fileName)
    : Exception(QStringLiteral("%1 に書き込めません").arg(fileName)) {}

namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };

// One line of the file, as byte offsets into the raw content, so that a write can splice
// a single line and keep every other byte exactly, even bytes that do not decode.
struct Line {
    qsizetype begin;      // first byte of the line
    qsizetype contentEnd; // first byte of the line break (or the end of the file)
    qsizetype end;        // first byte after the line break
    QString text;         // the content, decoded
};

struct Document {
    QByteArray bytes;
    Encoding encoding = Encoding::Utf8;
    qsizetype unit = 1;  // bytes per code unit: 1 for UTF-8, 2 for UTF-16
    qsizetype limit = 0; // end of the last whole code unit
    std::vector<Line> lines;
    QByteArray eol; // the file's line break, encoded; used for lines a write adds
};

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QString trimBlanks(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QStringConverter::Encoding converterEncoding(Encoding e) {
    switch (e) {
    case Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

QByteArray encode(const QString& s, Encoding e) {
    QStringEncoder encoder(converterEncoding(e));
    return encoder.encode(s);
}

char16_t unitAt(const Document& d, qsizetype i) {
    const auto b = [&](qsizetype k) { return static_cast<unsigned char>(d.bytes[k]); };
    switch (d.encoding) {
    case Encoding::Utf16LE:
        return static_cast<char16_t>(b(i) | (b(i + 1) << 8));
    case Encoding::Utf16BE:
        return static_cast<char16_t>((b(i) << 8) | b(i + 1));
    default:
        return b(i);
    }
}

Document parse(QByteArray bytes) {
    Document d;
    d.bytes = std::move(bytes);
    qsizetype start = 0;
    if (d.bytes.startsWith("\xEF\xBB\xBF")) {
        d.encoding = Encoding::Utf8Bom;
        start = 3;
    } else if (d.bytes.startsWith("\xFF\xFE")) {
        d.encoding = Encoding::Utf16LE;
        d.unit = 2;
        start = 2;
    } else if (d.bytes.startsWith("\xFE\xFF")) {
        d.encoding = Encoding::Utf16BE;
        d.unit = 2;
        start = 2;
    }
    // A trailing odd byte of a UTF-16 file is no code unit; it is kept but never read.
    const qsizetype limit = d.bytes.size() - (d.bytes.size() - start) % d.unit;
    d.limit = limit;
    QStringDecoder decoder(converterEncoding(d.encoding), QStringConverter::Flag::Stateless);
    qsizetype begin = start;
    qsizetype i = start;
    while (begin < limit) {
        while (i < limit && unitAt(d, i) != u'\n' && unitAt(d, i) != u'\r')
            i += d.unit;
        const qsizetype contentEnd = i;
        if (i < limit && unitAt(d, i) == u'\r')
            i += d.unit;
        if (i < limit && unitAt(d, i) == u'\n')
            i += d.unit;
        if (d.eol.isEmpty() && i > contentEnd)
            d.eol = d.bytes.mid(contentEnd, i - contentEnd);
        const QString text =
            decoder.decode(QByteArrayView(d.bytes).sliced(begin, contentEnd - begin));
        d.lines.push_back(Line{begin, contentEnd, i, text});
        begin = i;
    }
    if (d.eol.isEmpty())
        d.eol = encode(QStringLiteral("\n"), d.encoding);
    return d;
}

// The section name of a "[name]" line; nothing for any other line.
std::optional<QString> sectionName(const QString& line) {
    const QString t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return trimBlanks(close < 0 ? t.mid(1) : t.mid(1, close - 1));
}

bool isComment(const QString& line) {
    const QString t = trimBlanks(line);
    return t.startsWith(u';') || t.startsWith(u'#');
}

// The key of a "key=value" line; nothing for section, comment and other lines.
std::optional<QString> keyName(const QString& line) {
    if (isComment(line) || sectionName(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(line.left(eq));
}

QString valueOf(const QString& line) {
    QString v = trimBlanks(line.mid(line.indexOf(u'=') + 1));
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        v = v.mid(1, v.size() - 2);
    return v;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Location {
    std::optional<size_t> section; // the section's "[name]" line
    std::optional<size_t> key;     // the key's line within it
    size_t lastEntry = 0;          // the section's last key line, or its header
};

Location locate(const Document& d, const QString& section, const QString& key) {
    Location loc;
    for (size_t i = 0; i < d.lines.size(); ++i) {
        if (const auto name = sectionName(d.lines[i].text)) {
            if (loc.section)
                break;
            if (sameName(*name, section)) {
                loc.section = i;
                loc.lastEntry = i;
            }
            continue;
        }
        if (!loc.section)
            continue;
        if (const auto name = keyName(d.lines[i].text)) {
            loc.lastEntry = i;
            if (!loc.key && sameName(*name, key))
                loc.key = i;
        }
    }
    return loc;
}

Document load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return parse(QByteArray());
    return parse(f.readAll());
}

// The text a value is stored as, so that reading it gives the value back: a line break
// would end the line, so it becomes a blank; blanks at either end or an enclosing pair of
// quotes would be taken off by the reader, so such a value is put within double quotes.
QString storedForm(QString value) {
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    const bool blankEnd = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == u'"' || value.front() == u'\'');
    if (blankEnd || quoted)
        return u'"' + value + u'"';
    return value;
}

// Writes all of bytes to fd, resuming after short writes. False on the first failure, such
// as a full disk or a file size limit.
bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Creates the missing folders on the way to folder, each readable by its owner only: the
// file they will hold keeps the service key.
bool makeFolders(const QByteArray& folder) {
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0 && !makeFolders(folder.left(slash)))
        return false;
    return ::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST;
}

// Replaces the file at path with bytes, or leaves it exactly as it was. The new content goes
// to a temporary file beside it, unbuffered so that every failing step is seen here, is
// flushed to the disk, and only then renamed over the old file. A buffered write would fail
// only when it is flushed at the end, and a commit that let that pass would rename a short
// file over the settings.
void save(const QString& path, const QByteArray& bytes) {
    QByteArray target = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(target.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // A settings file linked to something that is no file (people link it to /dev/null
        // to keep nothing) is left alone: replacing the link, or the device, is never meant.
        struct stat st {};
        if (::stat(target.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return;
        // A link to a file is followed, so the file stays where the link points; so is a
        // link to a file not made yet.
        char resolved[PATH_MAX];
        if (::realpath(target.constData(), resolved)) {
            target = resolved;
        } else {
            const ssize_t n = ::readlink(target.constData(), resolved, sizeof resolved);
            if (n <= 0 || n == static_cast<ssize_t>(sizeof resolved))
                throw EIniFileException(path);
            const QByteArray pointed(resolved, n);
            const qsizetype slash = target.lastIndexOf('/');
            target =
                pointed.startsWith('/') || slash < 0 ? pointed : target.left(slash + 1) + pointed;
        }
    }
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.constData(), W_OK) != 0))
        throw EIniFileException(path);

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? target.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    if (!makeFolders(folder))
        throw EIniFileException(path);

    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw EIniFileException(path);
    // An existing file keeps its mode and owner, also when root writes it; a new one is
    // its owner's alone.
    bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : 0600) == 0;
    if (ok && exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        ok = ::fchown(fd, old.st_uid, old.st_gid) == 0 || errno == EPERM;
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        throw EIniFileException(path);
    }
}

QByteArray withValue(const Document& d, const QString& section, const QString& key,
                     const QString& value) {
    const Location loc = locate(d, section, key);
    const QString stored = storedForm(value);
    QByteArray out = d.bytes;
    if (loc.key) {
        // Keep the line's own spelling of the key and its blanks around "=" byte for byte.
        const Line& line = d.lines[*loc.key];
        qsizetype p = line.begin;
        while (p < line.contentEnd && unitAt(d, p) != u'=')
            p += d.unit;
        p += d.unit;
        while (p < line.contentEnd && (unitAt(d, p) == u' ' || unitAt(d, p) == u'\t'))
            p += d.unit;
        out.replace(p, line.contentEnd - p, encode(stored, d.encoding));
        return out;
    }
    const QByteArray entry = encode(key + u'=' + stored, d.encoding) + d.eol;
    if (loc.section) {
        const Line& after = d.lines[loc.lastEntry];
        const QByteArray lead = after.end == after.contentEnd ? d.eol : QByteArray();
        out.insert(after.end, lead + entry);
        return out;
    }
    QByteArray tail;
    if (!d.lines.empty() && d.lines.back().end == d.lines.back().contentEnd)
        tail = d.eol;
    tail += encode(u'[' + section + u']', d.encoding) + d.eol + entry;
    // Before a stray odd byte of a UTF-16 file, so that what is added stays readable.
    out.insert(d.limit, tail);
    return out;
}

bool isDecimal(const QString& s) {
    qsizetype i = (s.startsWith(u'+') || s.startsWith(u'-')) ? 1 : 0;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    }
    return true;
}

bool isDollarHex(const QString& s) {
    if (s.size() < 2 || s[0] != u'$')
        return false;
    for (qsizetype i = 1; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool hex =
            (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

} // namespace

QString IniFileStem(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(u'/');
    const qsizetype dot = executablePath.lastIndexOf(u'.');
    if (dot > slash)
        return executablePath.left(dot);
    return executablePath;
}

QString IniFilePath(const QString& stem) {
    return stem + QStringLiteral(".ini");
}

QString ReadIniString(const QString& stem, const QString& section, const QString& key,
                      const QString& defaultValue) {
    const Document d = load(IniFilePath(stem));
    const Location loc = locate(d, section, key);
    if (!loc.key)
        return defaultValue;
    return valueOf(d.lines[*loc.key].text);
}

int ReadIniInteger(const QString& stem, const QString& section, const QString& key,
                   int defaultValue) {
    QString s = ReadIniString(stem, section, key, QString());
    if (s.size() > 2 && s.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        s.replace(0, 2, u'$');
    // TryStrToInt also takes other hex prefixes and a sign before "$"; the settings file
    // holds only decimal or "$" hex.
    int v = 0;
    if ((isDecimal(s) || isDollarHex(s)) && TryStrToInt(s, v))
        return v;
    return defaultValue;
}

bool ReadIniBoolean(const QString& stem, const QString& section, const QString& key,
                    bool defaultValue) {
    return ReadIniInteger(stem, section, key, defaultValue ? 1 : 0) != 0;
}

void WriteIniString(const QString& stem, const QString& section, const QString& key,
                    const QString& value) {
    const QString path = IniFilePath(stem);
    save(path, withValue(load(path), section, key, value));
}

void WriteIniBoolean(const QString& stem, const QString& section, const QString& key, bool value) {
    WriteIniString(stem, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void WriteIniInteger(const QString& stem, const QString& section, const QString& key, int value) {
    WriteIniString(stem, section, key, IntToStr(value));
}

QPoint ClampIniPosition(QPoint stored, QSize screen) {
    int top = stored.y();
    int left = stored.x();
    if (screen.height() > 0 && top > screen.height())
        top %= screen.height();
    if (screen.width() > 0 && left > screen.width())
        left %= screen.width();
    return QPoint(left, top);
}

bool IsOnAnyScreen(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return true;
    // An empty frame (a window not yet laid out) still counts by its corner.
    const QRect probe = frame.isEmpty() ? QRect(frame.topLeft(), QSize(1, 1)) : frame;
    for (const QRect& s : screens) {
        if (s.intersects(probe))
            return true;
    }
    return false;
}

QPoint ReadIniPosition(const QString& stem, const QString& section, const QString& prefix,
                       const QRect& frame, QSize primaryScreen, const QList<QRect>& screens) {
    const int left = ReadIniInteger(stem, section, prefix + QStringLiteral("_left"), frame.x());
    const int top = ReadIniInteger(stem, section, prefix + QStringLiteral("_top"), frame.y());
    const QPoint p = ClampIniPosition(QPoint(left, top), primaryScreen);
    if (!IsOnAnyScreen(QRect(p, frame.size()), screens))
        return frame.topLeft();
    return p;
}

void WriteIniPosition(const QString& stem, const QString& section, const QString& prefix,
                      QPoint position) {
    WriteIniInteger(stem, section, prefix + QStringLiteral("_left"), position.x());
    WriteIniInteger(stem, section, prefix + QStringLiteral("_top"), position.y());
}

} // namespace kasorel
