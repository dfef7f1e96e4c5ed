// Text and bytes handed from JavaScript to the program, in memory the program frees: UTF-8
// ending in a zero; UTF-16 code units as they are (a lone surrogate stays one) after their
// 32-bit count; bytes after theirs. Every WebAssembly build of the program has these.
function kasorelUtf8(text) {
  const size = lengthBytesUTF8(text) + 1;
  const out = _malloc(size);
  stringToUTF8(text, out, size);
  return out;
}
function kasorelUtf16(text) {
  const out = _malloc(4 + text.length * 2);
  HEAP32[out >> 2] = text.length;
  const base = (out + 4) >> 1;
  for (let i = 0; i < text.length; ++i) HEAPU16[base + i] = text.charCodeAt(i);
  return out;
}
function kasorelBytes(bytes) {
  const out = _malloc(4 + bytes.length);
  HEAP32[out >> 2] = bytes.length;
  HEAPU8.set(bytes, out + 4);
  return out;
}
