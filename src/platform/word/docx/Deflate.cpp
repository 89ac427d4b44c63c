#include "platform/word/docx/Deflate.h"

#include <limits>

#include "errors/Laufzeitfehler.h"

namespace tarvo::word::docx {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 16;
// From here on a part is packed at the fastest level: a part that grows large while it is
// written (a statement of thousands of parcels from a small letter) is not known to be large
// when the writer starts.
constexpr std::uint64_t kSchnellAb = std::uint64_t{1} << 20;
}  // namespace

DeflateWriter::DeflateWriter(bool fast) : schnell_(fast) {
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
  if (!schnell_ && result_.size >= kSchnellAb) Beschleunigen();
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

// Switches to the fastest level; what was written so far is packed at the old one first. zlib
// asks for more room until that is done; should it never be, the level stays.
void DeflateWriter::Beschleunigen() {
  schnell_ = true;
  if (!puffer_) puffer_ = std::make_unique_for_overwrite<unsigned char[]>(kChunk);
  for (int versuch = 0; versuch < 1024; ++versuch) {
    stream_.next_out = puffer_.get();
    stream_.avail_out = static_cast<uInt>(kChunk);
    const int status = deflateParams(&stream_, 1, Z_DEFAULT_STRATEGY);
    result_.data.append(reinterpret_cast<const char*>(puffer_.get()), kChunk - stream_.avail_out);
    if (status == Z_STREAM_ERROR) throw Laufzeitfehler(fehlernummer::KeinSpeicher);
    if (status != Z_BUF_ERROR) return;
  }
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
