#include "canvas/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace kelvora {
namespace {

[[gnu::target("avx")]] void ZeroUpper() noexcept
{
    _mm256_zeroupper();
}

} // namespace

void ClearUpperVectorState() noexcept
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        ZeroUpper();
}

} // namespace kelvora
#else
namespace kelvora {
void ClearUpperVectorState() noexcept {}
} // namespace kelvora
#endif
