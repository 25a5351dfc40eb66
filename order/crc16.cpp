#include "crc16.h"

#include <QtEndian>

#include <array>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace
{

// Eight tables, so that the loop takes eight bytes a step: every picture of
// an order is summed before its declaration.
using Tables = std::array<std::array<quint16, 256>, 8>;

constexpr Tables makeTables()
{
    Tables t{};
    for (unsigned n = 0; n < 256; ++n) {
        unsigned c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        t[0][n] = quint16(c);
    }
    for (int k = 1; k < 8; ++k)
        for (unsigned n = 0; n < 256; ++n)
            t[k][n] = quint16((t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF]);
    return t;
}

constexpr Tables kTables = makeTables();

inline unsigned step8(unsigned crc, const quint8 *p)
{
    const quint64 v = qFromLittleEndian<quint64>(p) ^ crc;
    return kTables[7][v & 0xFF] ^ kTables[6][(v >> 8) & 0xFF] ^ kTables[5][(v >> 16) & 0xFF] ^
           kTables[4][(v >> 24) & 0xFF] ^ kTables[3][(v >> 32) & 0xFF] ^ kTables[2][(v >> 40) & 0xFF] ^
           kTables[1][(v >> 48) & 0xFF] ^ kTables[0][v >> 56];
}

#if defined(__x86_64__) && defined(__GNUC__)
#define LUMO_CRC_CLMUL 1
unsigned reflect16(unsigned v)
{
    unsigned r = 0;
    for (int bit = 0; bit < 16; ++bit)
        r |= ((v >> bit) & 1) << (15 - bit);
    return r;
}

// a * b modulo x^16 + x^15 + x^2 + 1, highest power in the top bit.
unsigned multiplyModulo(unsigned a, unsigned b)
{
    unsigned r = 0;
    for (int bit = 15; bit >= 0; --bit) {
        r <<= 1;
        if (r & 0x10000)
            r ^= 0x18005;
        if ((b >> bit) & 1)
            r ^= a;
    }
    return r;
}

unsigned powerOfXModulo(quint64 n)
{
    unsigned result = 1;
    unsigned base = 2;
    for (; n; n >>= 1) {
        if (n & 1)
            result = multiplyModulo(result, base);
        base = multiplyModulo(base, base);
    }
    return result;
}

// Sixty-four bytes a step by carry-less multiplication, in four interleaved
// states: a picture is summed at several times the speed of the table walk.
// Each state stays congruent to its share of the input; they are folded into
// one, whose sixteen bytes the tables sum at the end.
__attribute__((target("pclmul,sse2"))) inline __m128i fold(__m128i x, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)),
                         next);
}

// Constants to move a state on by the given number of bits: x^(bits+63) and
// x^(bits-1) modulo the polynomial, bit-reflected into the top of 64 bits. The
// products then come out one place short, which the reflected layout absorbs.
__attribute__((target("pclmul,sse2"))) __m128i foldConstants(int bits)
{
    return _mm_set_epi64x(qint64(quint64(reflect16(powerOfXModulo(quint64(bits) - 1))) << 48),
                          qint64(quint64(reflect16(powerOfXModulo(quint64(bits) + 63))) << 48));
}

__attribute__((target("pclmul,sse2"))) unsigned foldedSum(unsigned crc, const quint8 *p, qint64 blocks)
{
    static const __m128i k128 = foldConstants(128);
    static const __m128i k512 = foldConstants(512);
    const auto load = [p](qint64 block) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * block));
    };
    __m128i x = _mm_xor_si128(load(0), _mm_cvtsi32_si128(int(crc)));
    qint64 i = 1;
    if (blocks >= 8) {
        __m128i x1 = load(1), x2 = load(2), x3 = load(3);
        for (i = 4; i + 4 <= blocks; i += 4) {
            x = fold(x, k512, load(i));
            x1 = fold(x1, k512, load(i + 1));
            x2 = fold(x2, k512, load(i + 2));
            x3 = fold(x3, k512, load(i + 3));
        }
        x = fold(fold(fold(x, k128, x1), k128, x2), k128, x3);
    }
    for (; i < blocks; ++i)
        x = fold(x, k128, load(i));
    alignas(16) quint8 state[16];
    _mm_store_si128(reinterpret_cast<__m128i *>(state), x);
    return step8(step8(0, state), state + 8);
}

bool hasClmul()
{
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return has;
}
#endif

} // namespace

void CRC16::update(const char *buffer, qint64 start, qint64 length)
{
    unsigned crc = unsigned(m_crc) & 0xFFFF;
    const auto *p = reinterpret_cast<const quint8 *>(buffer + start);
#ifdef LUMO_CRC_CLMUL
    if (length >= 64 && hasClmul()) {
        const qint64 blocks = length / 16;
        crc = foldedSum(crc, p, blocks);
        p += 16 * blocks;
        length -= 16 * blocks;
    }
#endif
    for (; length >= 8; length -= 8, p += 8)
        crc = step8(crc, p);
    for (; length > 0; --length, ++p)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
    m_crc = int(crc);
}
