#include "convert/errors.h"

#include "convert/unicode.h"

namespace kasorel {

namespace {

// template with its one "%s" replaced by arg.
std::u16string withArgument(std::u16string_view templ, std::u16string_view arg) {
    const std::size_t at = templ.find(u"%s");
    std::u16string out(templ.substr(0, at));
    out += arg;
    out += templ.substr(at + 2);
    return out;
}

} // namespace

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

EIntOverflow::EIntOverflow() : Exception(u"整数のオーバーフロー") {}
ERangeError::ERangeError() : Exception(u"範囲チェックエラー") {}
EInvalidOp::EInvalidOp() : Exception(u"不正な浮動小数点数演算命令") {}
EZeroDivide::EZeroDivide() : Exception(u"0 による浮動小数点数除算") {}
EOverflow::EOverflow() : Exception(u"浮動小数点数のオーバーフロー") {}
EOutOfResources::EOutOfResources() : Exception(u"システム リソース不足です") {}
EClipboardRefused::EClipboardRefused()
    : Exception(u"クリップボードを使うことが許可されていません") {}

EConvertError EConvertError::notAFloat(std::u16string_view text) {
    return EConvertError(withArgument(u"'%s' は浮動小数点数ではありません", text));
}

EClipboardException::EClipboardException(std::u16string_view systemText)
    : Exception(withArgument(u"クリップボード %s を開けません", systemText)) {}

} // namespace kasorel
