#include "convert/errors.h"

namespace kasorel {

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

EIntOverflow::EIntOverflow() : Exception(QStringLiteral("整数のオーバーフロー")) {}
ERangeError::ERangeError() : Exception(QStringLiteral("範囲チェックエラー")) {}
EInvalidOp::EInvalidOp() : Exception(QStringLiteral("不正な浮動小数点数演算命令")) {}
EZeroDivide::EZeroDivide() : Exception(QStringLiteral("0 による浮動小数点数除算")) {}
EOverflow::EOverflow() : Exception(QStringLiteral("浮動小数点数のオーバーフロー")) {}
EOutOfResources::EOutOfResources() : Exception(QStringLiteral("システム リソース不足です")) {}

EConvertError EConvertError::notAFloat(const QString& text) {
    return EConvertError(QStringLiteral("'%1' は浮動小数点数ではありません").arg(text));
}

EClipboardException::EClipboardException(const QString& systemText)
    : Exception(QStringLiteral("クリップボード %1 を開けません").arg(systemText)) {}

} // namespace kasorel
