#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace kasorel {

// Base of every error kind a command raises. message() is the text the user sees in the
// error box; what() is the same text in UTF-8, for logs and test failures.
class Exception : public std::exception {
public:
    explicit Exception(std::u16string message);
    const std::u16string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::u16string message_;
    std::string utf8_;
};

// Integer arithmetic on positions, indexes or counts left the 32-bit range.
class EIntOverflow : public Exception {
public:
    EIntOverflow();
};

// A 64-bit value did not fit the 32-bit variable it was stored in.
class ERangeError : public Exception {
public:
    ERangeError();
};

// A text is not a number. The message names the whole text that was passed.
class EConvertError : public Exception {
public:
    explicit EConvertError(std::u16string message) : Exception(std::move(message)) {}
    // "'<text>' は浮動小数点数ではありません"
    static EConvertError notAFloat(std::u16string_view text);
};

// Invalid floating-point operation: 0/0, a NaN or an out-of-range value made an integer.
class EInvalidOp : public Exception {
public:
    EInvalidOp();
};

// A non-zero floating-point value divided by zero.
class EZeroDivide : public Exception {
public:
    EZeroDivide();
};

// A floating-point result too large for its type.
class EOverflow : public Exception {
public:
    EOverflow();
};

// The clipboard could not be opened; systemText is the system's reason.
class EClipboardException : public Exception {
public:
    explicit EClipboardException(std::u16string_view systemText);
};

// The system keeps the program from the clipboard altogether, as a browser does a page that
// has not been given the permission: the person must copy or paste by hand.
class EClipboardRefused : public Exception {
public:
    EClipboardRefused();
};

// The clipboard refused the data after it had been emptied.
class EOutOfResources : public Exception {
public:
    EOutOfResources();
};

} // namespace kasorel
