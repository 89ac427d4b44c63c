#include "platform/word/docx/Deflate.h"

#include <limits>

#include "errors/Laufzeitfehler.h"

namespace tarvo::word::docx {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 16;
}  // namespace

DeflateWriter::DeflateWriter(bool fast) {
  // Raw deflate (negative window bits): the zip entry carries no zlib header.
  if (deflateInit2(&stream_, fast ? 1 : Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    throw Laufzeitfehler(fehlernummer::KeinSpeicher);
  open_ = true;
  result_.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
}

DeflateWriter::~DeflateWriter() {
  if (open_) deflateEnd(&stream_);
}

void DeflateWriter::write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    // zlib counts in 32-bit units.
    const std::size_t step = std::min<std::size_t>(size, std::numeric_limits<uInt>::max());
    result_.crc = static_cast<std::uint32_t>(crc32(result_.crc, bytes, static_cast<uInt>(step)));
    result_.size += step;
    Pack(bytes, step, Z_NO_FLUSH);
    bytes += step;
    size -= step;
  }
}

void DeflateWriter::Pack(const void* data, std::size_t size, int flush) {
  stream_.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  stream_.avail_in = static_cast<uInt>(size);
  int status = Z_OK;
  // Packed into the writer's own buffer, then appended: the result never grows by zeroed bytes
  // that deflate overwrites.
  if (!puffer_) puffer_ = std::make_unique_for_overwrite<unsigned char[]>(kChunk);
  do {
    stream_.next_out = puffer_.get();
    stream_.avail_out = static_cast<uInt>(kChunk);
    status = deflate(&stream_, flush);
    if (status == Z_STREAM_ERROR) throw Laufzeitfehler(fehlernummer::KeinSpeicher);
    result_.data.append(reinterpret_cast<const char*>(puffer_.get()), kChunk - stream_.avail_out);
  } while (stream_.avail_in > 0 || (flush == Z_FINISH && status != Z_STREAM_END));
}

DeflatedPart DeflateWriter::Finish() {
  Pack(nullptr, 0, Z_FINISH);
  deflateEnd(&stream_);
  open_ = false;
  puffer_.reset();
  result_.data.shrink_to_fit();
  return std::move(result_);
}

std::string Inflate(const DeflatedPart& part) {
  std::string text(part.size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) throw Laufzeitfehler(fehlernummer::KeinSpeicher);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data.data()));
  stream.avail_in = static_cast<uInt>(part.data.size());
  stream.next_out = reinterpret_cast<Bytef*>(text.data());
  stream.avail_out = static_cast<uInt>(text.size());
  const int status = inflate(&stream, Z_FINISH);
  const bool ganz = status == Z_STREAM_END && stream.total_out == part.size;
  inflateEnd(&stream);
  if (!ganz || crc32(0, reinterpret_cast<const Bytef*>(text.data()),
                     static_cast<uInt>(text.size())) != part.crc)
    throw Laufzeitfehler(fehlernummer::DateiZugriff, "Ein gepackter Teil ist beschädigt.");
  return text;
}

}  // namespace tarvo::word::docx
