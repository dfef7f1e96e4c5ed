#include "settings/file.h"

#include "convert/interop-web.h"
#include "convert/unicode.h"

#include <cstdlib>
#include <emscripten.h>

// A page has no files: what the program keeps lives in the browser's storage for the page's
// address (localStorage, which takes a whole value or refuses it and keeps the old one), one
// entry per path. Where no browser is around, under Node, which runs the suites, the paths are
// those of the real file system.

// clang-format off
EM_JS(void, kasorel_store_open, (), {
    if (globalThis.kasorelStore)
        return;
    let local = null;
    try {
        local = typeof localStorage !== "undefined" ? localStorage : null;
    } catch (e) {
        // A browser that keeps nothing for pages refuses even to say so.
    }
    if (local || typeof process === "undefined") {
        const key = path => "kasorel:" + path;
        // A byte-order mark is text like any other here: the bytes must come back as they went in.
        const utf8 = new TextDecoder("utf-8", {fatal : true, ignoreBOM : true});
        // Text as text, so that a Japanese character takes one unit of the quota; other bytes one
        // unit each.
        globalThis.kasorelStore = {
            read(path) {
                const value = local ? local.getItem(key(path)) : null;
                if (value === null)
                    return null;
                if (value[0] !== "b")
                    return new TextEncoder().encode(value.substring(1));
                const bytes = new Uint8Array(value.length - 1);
                for (let i = 1; i < value.length; ++i)
                    bytes[i - 1] = value.charCodeAt(i);
                return bytes;
            },
            write(path, bytes) {
                let value;
                try {
                    value = "t" + utf8.decode(bytes);
                } catch (e) {
                    value = "b";
                    for (let i = 0; i < bytes.length; i += 8192)
                        value += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
                }
                try {
                    local.setItem(key(path), value);
                    return true;
                } catch (e) {
                    return false;
                }
            },
            exists(path) {
                if (!local)
                    return false;
                if (local.getItem(key(path)) !== null)
                    return true;
                const folder = key(path.endsWith("/") ? path : path + "/");
                for (let i = 0; i < local.length; ++i) {
                    if (local.key(i).startsWith(folder))
                        return true;
                }
                return false;
            },
            writableFolder(path) { return local !== null; },
            writableFile(path) { return local !== null && local.getItem(key(path)) !== null; },
        };
        return;
    }
    const fs = require("fs");
    const nodePath = require("path");
    globalThis.kasorelStore = {
        read(path) {
            try {
                return fs.readFileSync(path);
            } catch (e) {
                return null;
            }
        },
        write(path, bytes) {
            const temporary = path + ".kasorel-" + process.pid;
            try {
                fs.mkdirSync(nodePath.dirname(path), {recursive : true, mode : 0o700});
                let mode = 0o600;
                try {
                    mode = fs.statSync(path).mode & 0o7777;
                } catch (e) {
                }
                fs.writeFileSync(temporary, bytes, {mode});
                fs.renameSync(temporary, path);
                return true;
            } catch (e) {
                try {
                    fs.unlinkSync(temporary);
                } catch (ignored) {
                }
                return false;
            }
        },
        exists(path) { return fs.existsSync(path); },
        writableFolder(path) {
            try {
                fs.accessSync(path, fs.constants.W_OK);
                return fs.statSync(path).isDirectory();
            } catch (e) {
                return false;
            }
        },
        writableFile(path) {
            try {
                fs.accessSync(path, fs.constants.W_OK);
                return fs.statSync(path).isFile();
            } catch (e) {
                return false;
            }
        },
    };
});

// The bytes after a 32-bit count, or null when there is no such entry.
EM_JS(char*, kasorel_store_read, (const char* path), {
    const bytes = globalThis.kasorelStore.read(UTF8ToString(path));
    return bytes === null ? 0 : kasorelBytes(bytes);
});

EM_JS(int, kasorel_store_write, (const char* path, const char* bytes, int size), {
    return globalThis.kasorelStore.write(UTF8ToString(path), HEAPU8.slice(bytes, bytes + size))
               ? 1
               : 0;
});

EM_JS(int, kasorel_store_ask, (int what, const char* path), {
    const store = globalThis.kasorelStore;
    const at = UTF8ToString(path);
    return (what === 0 ? store.exists(at)
                       : what === 1 ? store.writableFolder(at) : store.writableFile(at))
               ? 1
               : 0;
});
// clang-format on

namespace kasorel {

namespace {

// The store, made on first use.
void openStore() {
    kasorel_store_open();
}

} // namespace

std::optional<std::string> ReadWholeFile(std::u16string_view path) {
    openStore();
    return web::TakeBytes(kasorel_store_read(ToUtf8(path).c_str()));
}

Replaced ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
    openStore();
    if (!kasorel_store_write(ToUtf8(path).c_str(), bytes.data(), static_cast<int>(bytes.size())))
        throw EIniFileException(path);
    return Replaced::Written;
}

bool IsWritableFolder(std::u16string_view path) {
    openStore();
    return kasorel_store_ask(1, ToUtf8(path).c_str()) != 0;
}

bool IsWritableFile(std::u16string_view path) {
    openStore();
    return kasorel_store_ask(2, ToUtf8(path).c_str()) != 0;
}

std::optional<FileStamp> StampOf(std::u16string_view) {
    return std::nullopt;
}

bool PathExists(std::u16string_view path) {
    openStore();
    return kasorel_store_ask(0, ToUtf8(path).c_str()) != 0;
}

} // namespace kasorel
