#pragma once

// GCC's vector types for the bell kernels and the control's passes, one set
// per width W (doubles per vector), spelled out per width: the attribute does
// not take a template-dependent size. Included by translation units compiled
// for wider instruction sets, so the types have internal linkage.

namespace vo::plugins::zel
{
namespace
{

template <int W>
struct VectorTypes;

#define ZEL_VECTOR_TYPES(W)                                                 \
    template <>                                                             \
    struct VectorTypes<W>                                                   \
    {                                                                       \
        typedef double Vec __attribute__ ((vector_size (W * 8)));           \
        typedef long long Mask __attribute__ ((vector_size (W * 8)));       \
        typedef unsigned long long Bits __attribute__ ((vector_size (W * 8))); \
        typedef float Floats __attribute__ ((vector_size (W * 4)));         \
        typedef int FloatMask __attribute__ ((vector_size (W * 4)));        \
        typedef signed char Bytes __attribute__ ((vector_size (W)));        \
    };

ZEL_VECTOR_TYPES (2)
ZEL_VECTOR_TYPES (4)
ZEL_VECTOR_TYPES (8)
#undef ZEL_VECTOR_TYPES

} // namespace
} // namespace vo::plugins::zel
