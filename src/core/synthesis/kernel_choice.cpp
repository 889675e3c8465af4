#include "core/synthesis/kernel_choice.h"

#include <cstdlib>
#include <cstring>

namespace vocanta {

KernelSet widest_kernels() {
  const char* wanted = std::getenv("VOCANTA_KERNELS");
  const bool any = !wanted || !*wanted;
  const auto allows = [&](const char* name) { return any || std::strcmp(wanted, name) == 0; };
  __builtin_cpu_init();
  const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (allows("avx512") && avx2 && __builtin_cpu_supports("avx512f")) return KernelSet::Avx512;
  if ((allows("avx2") || allows("avx512")) && avx2) return KernelSet::Avx2;
  return KernelSet::Scalar;
}

}  // namespace vocanta
