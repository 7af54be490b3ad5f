// MD5 throughput over buffers of the sizes `openssl speed md5` measures, so
// that bench/md5-against-openssl can set the two side by side.
#include "net/Md5.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

void DigestOfABuffer(benchmark::State& state) {
    std::vector<unsigned char> data(std::size_t(state.range(0)));
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 31);
    TMD5Digest digest;
    for (auto _ : state) {
        TMD5Context context;
        MD5Init(context);
        MD5Update(context, data.data(), data.size());
        MD5Final(digest, context);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(DigestOfABuffer)->Arg(64)->Arg(1024)->Arg(8192)->Arg(16384)->Arg(1 << 20);

// The copying update in 16 KB pieces, as the SMTP client's challenge goes.
void DigestThroughTheCopyingUpdate(benchmark::State& state) {
    std::vector<unsigned char> data(1 << 20, 0x61);
    TMD5Digest digest;
    for (auto _ : state) {
        TMD5Context context;
        MD5Init(context);
        MD5UpdateBuffer(context, data.data(), data.size());
        MD5Final(digest, context);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}
BENCHMARK(DigestThroughTheCopyingUpdate);

} // namespace
