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

// Sixteen bytes a step by carry-less multiplication: a picture is summed at
// several times the speed of the table walk. The state stays congruent to the
// input summed so far; its sixteen bytes are summed by the tables at the end.
__attribute__((target("pclmul,sse2"))) unsigned foldedSum(unsigned crc, const quint8 *p, qint64 blocks)
{
    // x^191 and x^127 modulo the polynomial, bit-reflected into the top of 64 bits: the
    // products then come out one place short, which the reflected layout absorbs.
    static const __m128i k = _mm_set_epi64x(qint64(quint64(reflect16(powerOfXModulo(127))) << 48),
                                            qint64(quint64(reflect16(powerOfXModulo(191))) << 48));
    __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), _mm_cvtsi32_si128(int(crc)));
    for (qint64 i = 1; i < blocks; ++i) {
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * i));
        x = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)),
                          next);
    }
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
