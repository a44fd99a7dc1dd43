#include "io/formats/jpeg_session.h"

#include <jerror.h>

#include <new>

namespace irobunkai {
namespace {

// What libjpeg reads once the data has run out, as its own sources do: an end-of-image marker.
constexpr JOCTET kFakeEnd[] = {0xFF, JPEG_EOI};

}  // namespace

JpegSession::JpegSession(Bytes file) : file_(file) {
  info_.err = jpeg_std_error(&errors_);
  errors_.error_exit = ErrorExit;
  errors_.emit_message = EmitMessage;
  errors_.output_message = OutputMessage;
  info_.client_data = this;
  created_ = jump_.Run([this] { jpeg_create_decompress(&info_); });
  if (!created_) {
    throw std::bad_alloc();
  }
  source_.init_source = InitSource;
  source_.fill_input_buffer = FillInputBuffer;
  source_.skip_input_data = SkipInputData;
  source_.resync_to_restart = jpeg_resync_to_restart;
  source_.term_source = TermSource;
  source_.next_input_byte = file.data();
  source_.bytes_in_buffer = file.size();
  info_.src = &source_;
}

JpegSession::~JpegSession() {
  if (created_) {
    jpeg_destroy_decompress(&info_);
  }
}

bool JpegSession::OutOfMemory() const { return errors_.msg_code == JERR_OUT_OF_MEMORY; }

std::size_t JpegSession::BytesRead() const {
  return dataEnded_ ? file_.size() : file_.size() - source_.bytes_in_buffer;
}

JpegSession& JpegSession::Of(j_common_ptr info) {
  return *static_cast<JpegSession*>(info->client_data);
}

void JpegSession::ErrorExit(j_common_ptr info) { Of(info).jump_.Jump(); }

void JpegSession::EmitMessage(j_common_ptr info, int level) {
  JpegSession& session = Of(info);
  if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER && session.dataEnded_ &&
      !session.scanCut_) {
    session.scanCut_ = session.Here();
  }
}

void JpegSession::OutputMessage(j_common_ptr /*info*/) {}

void JpegSession::InitSource(j_decompress_ptr /*info*/) {}

boolean JpegSession::FillInputBuffer(j_decompress_ptr info) {
  JpegSession& session = Of(reinterpret_cast<j_common_ptr>(info));
  if (!session.dataEnded_) {
    session.dataEnded_ = session.Here();
  }
  session.source_.next_input_byte = kFakeEnd;
  session.source_.bytes_in_buffer = sizeof kFakeEnd;
  return TRUE;
}

void JpegSession::SkipInputData(j_decompress_ptr info, long count) {
  jpeg_source_mgr& source = *info->src;
  if (count <= 0) {
    return;
  }
  if (static_cast<unsigned long>(count) > source.bytes_in_buffer) {
    FillInputBuffer(info);  // past the end: what follows is the end marker
    return;
  }
  source.next_input_byte += count;
  source.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void JpegSession::TermSource(j_decompress_ptr /*info*/) {}

}  // namespace irobunkai
