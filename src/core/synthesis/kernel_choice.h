#pragma once

namespace vocanta {

// The widest instruction set the kernels may use: the processor's, narrowed by
// VOCANTA_KERNELS=avx512|avx2|scalar to compare the forms on one machine (any other value
// means scalar).
enum class KernelSet { Scalar, Avx2, Avx512 };
KernelSet widest_kernels();

}  // namespace vocanta
