// Deflate: a part's new content compressed while it is written, so that a large XML part never
// exists uncompressed between the document model and the saved archive. DeflateWriter takes the
// text from pugixml's serialiser (or Append) and packs it as raw deflate data with the CRC-32 and
// size the zip directory needs; Inflate gives the text back. Running out of memory throws
// Laufzeitfehler 7; damaged data given to Inflate throws 75.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace tarvo::word::docx {

// A part held compressed: raw deflate data, the CRC-32 and the size of the uncompressed text.
struct DeflatedPart {
  std::string data;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};

class DeflateWriter : public pugi::xml_writer {
 public:
  // `fast` packs at the fastest level (a third of the time, a fifth more bytes), else at the
  // default level up to the first megabyte and at the fastest beyond it.
  explicit DeflateWriter(bool fast);
  ~DeflateWriter() override;
  DeflateWriter(const DeflateWriter&) = delete;
  DeflateWriter& operator=(const DeflateWriter&) = delete;

  void write(const void* data, std::size_t size) override;
  void Append(std::string_view text) { write(text.data(), text.size()); }
  // Ends the stream and hands over the result; the writer is spent then.
  DeflatedPart Finish();

 private:
  void Pack(const void* data, std::size_t size, int flush);
  void Beschleunigen();

  z_stream stream_{};
  std::unique_ptr<unsigned char[]> puffer_;
  bool schnell_;
  DeflatedPart result_;
  bool open_ = false;
};

// The text of a deflated part. Throws Laufzeitfehler 75 when the data is damaged or does not
// match its size and CRC.
std::string Inflate(const DeflatedPart& part);

}  // namespace tarvo::word::docx
