#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>

#include "shared/Progress.h"

namespace ombrel {

// How the items of a long output are shared out: stretches of `items` items
// made by `threads` threads at once (0: as many as the machine runs).
struct StretchSplit {
  unsigned threads = 0;
  size_t items = size_t{1} << 10;
};

// Appends the texts of items [begin, end) to `text`.
using StretchRender = std::function<void(std::string& text, size_t begin, size_t end)>;

// Writes the texts of `count` items to `out` in their order, made in
// stretches by every thread at once: `render` is called on any thread, for
// different stretches at the same time. A stretch is written as soon as it
// and those before it are made, by whichever thread is free, and no more than
// two stretches a thread are held at a time. Reports the share of the items
// made through `progress` (on the calling thread); once it is cancelled the
// stretches left are not made, and what is written is not whole. A failure
// of `render` is thrown again once the threads are done.
void WriteInStretches(std::ostream& out, size_t count, const StretchRender& render,
                      StretchSplit split = {}, const Progress& progress = {});

// Appends what a stream is given to a text: a stretch's texts made through a
// stream (a CsvWriter's).
class TextSink : public std::streambuf {
 public:
  explicit TextSink(std::string& text) : text_(text) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<size_t>(n));
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) text_.push_back(static_cast<char>(ch));
    return traits_type::not_eof(ch);
  }

 private:
  std::string& text_;
};

}  // namespace ombrel
