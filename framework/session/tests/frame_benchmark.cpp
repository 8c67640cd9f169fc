// Frame building and signing, trailer verification and the MD5 underneath, with the machine's
// OpenSSL MD5 beside ours for comparison when the build found it.
#include <benchmark/benchmark.h>

#include <vector>

#include "framework_messages.h"
#include "md5_checksum.h"
#include "wire_frame.h"

#ifdef KORVEL_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

// Header, body and session trailer of one message, as every sender does it.
void BM_BuildAndSignFrame(benchmark::State& state) {
  const std::vector<uint8_t> body(static_cast<size_t>(state.range(0)), 0x5A);
  FrameworkSession session;
  session.SessionKey = 0x12345678;
  for (auto _ : state) {
    MessageBuffer out;
    MessageHeader header = MessageHeader::For(3021, body.size());
    header.BuildHeader(session);
    out.AssembleWithSessionTrailer(header, body.data(), body.size(), session.SessionKey);
    benchmark::DoNotOptimize(out.GetData());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_BuildAndSignFrame)->Arg(64)->Arg(4096);

void BM_VerifyTrailer(benchmark::State& state) {
  const std::vector<uint8_t> body(static_cast<size_t>(state.range(0)), 0x5A);
  FrameworkSession session;
  session.SessionKey = 0x12345678;
  MessageBuffer out;
  MessageHeader header = MessageHeader::For(3021, body.size());
  header.BuildHeader(session);
  out.AssembleWithSessionTrailer(header, body.data(), body.size(), session.SessionKey);
  const uint32_t length = static_cast<uint32_t>(body.size() + kMessageTrailerSize);
  for (auto _ : state) {
    benchmark::DoNotOptimize(VerifyTrailer(3021, length, 1, out.GetData() + kMessageHeaderSize,
                                           session.SessionKey));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_VerifyTrailer)->Arg(64)->Arg(4096);

void BM_Md5(benchmark::State& state) {
  const std::vector<uint8_t> data(static_cast<size_t>(state.range(0)), 0xA5);
  uint8_t digest[16];
  for (auto _ : state) {
    Md5Digest(data.data(), data.size(), digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Md5)->Arg(64)->Arg(4096)->Arg(1 << 20);

#ifdef KORVEL_HAVE_OPENSSL
void BM_Md5OpenSsl(benchmark::State& state) {
  const std::vector<uint8_t> data(static_cast<size_t>(state.range(0)), 0xA5);
  uint8_t digest[16];
  unsigned int size = 0;
  for (auto _ : state) {
    EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Md5OpenSsl)->Arg(64)->Arg(4096)->Arg(1 << 20);
#endif

}  // namespace

BENCHMARK_MAIN();
