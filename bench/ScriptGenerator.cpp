#include "ScriptGenerator.h"

#include <array>
#include <cstdint>
#include <random>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 16> kCommands = {
    "ai2_spawn", "chr_teleport", "door_open", "trig_activate", "cm_interpolate", "chr_animate",
    "ai2_attack", "sound_music_start", "obj_show", "chr_givepowerup", "ai2_movetoflag", "env_anim",
    "particle", "console_activate", "chr_wait_health", "dmsg"};

constexpr std::array<std::string_view, 12> kCharacters = {
    "A1_intro01", "Barabus", "griffin", "C2_blue25", "D1_neut10", "F_blue1", "end_guard_1",
    "Final_Thug_10", "new_dummy1", "B1_s_blue05", "Griffin", "ambush_striker_1"};

constexpr std::array<std::string_view, 10> kNames = {
    "count", "alarm", "target", "wave", "door_state", "timer", "hits", "phase", "spawned", "left"};

constexpr std::array<std::string_view, 8> kComments = {
    "# open the warehouse doors", "# wait for the guards", "# TODO check the flag", "# boss phase",
    "# camera", "# spawn the second wave", "# music", "# end"};

class Writer {
public:
    explicit Writer(LineEnds lineEnds) : m_lineEnd(lineEnds == LineEnds::LineFeed ? "\n" : "\r\n") {}

    std::string& text() { return m_text; }
    Writer& operator<<(std::string_view piece)
    {
        m_text += piece;
        return *this;
    }
    Writer& operator<<(long number)
    {
        m_text += std::to_string(number);
        return *this;
    }
    void endLine() { m_text += m_lineEnd; }

private:
    std::string_view m_lineEnd;
    std::string m_text;
};

template <typename List>
std::string_view any(std::mt19937& random, const List& list)
{
    return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
}

long number(std::mt19937& random, long high)
{
    return std::uniform_int_distribution<long>(0, high)(random);
}

void writeStatement(Writer& out, std::mt19937& random)
{
    out << "\t";
    switch (number(random, 9)) {
    case 0:
    case 1:
    case 2:
        out << any(random, kCommands) << " " << any(random, kCharacters) << " " << number(random, 300);
        break;
    case 3:
        out << any(random, kCommands) << " " << number(random, 99) << " " << number(random, 9) << ".5e2";
        break;
    case 4:
        out << "var int " << any(random, kNames) << " = " << number(random, 1000) << ";";
        break;
    case 5:
        out << "if (" << any(random, kNames) << " eq " << number(random, 9) << ") { fork " << any(random, kNames) << " }";
        break;
    case 6:
        out << "sleep " << number(random, 600);
        break;
    case 7:
        out << any(random, kComments);
        break;
    default:
        out << any(random, kCommands) << " " << any(random, kCharacters) << " " << any(random, kComments);
        break;
    }
    out.endLine();
}

} // namespace

std::string GenerateScript(std::size_t bytes, LineEnds lineEnds, unsigned seed)
{
    std::mt19937 random(seed);
    Writer out(lineEnds);
    out.text().reserve(bytes + 256);
    for (long function = 0; out.text().size() < bytes; ++function) {
        out << "func void " << any(random, kNames) << "_" << function << "(string ai_name)";
        out.endLine();
        out << "{";
        out.endLine();
        for (long statements = 4 + number(random, 12); statements > 0; --statements)
            writeStatement(out, random);
        out << "}";
        out.endLine();
        out.endLine();
    }
    std::string& text = out.text();
    text.resize(bytes);
    return text;
}

namespace hostile {

std::string nested(std::size_t count, char open)
{
    return std::string(count, open);
}

std::string oneLine(std::size_t bytes)
{
    static constexpr std::string_view kStatement = "ai2_spawn Muro; chr_teleport(konoko, 12); x = .75; ";
    std::string text;
    text.reserve(bytes);
    while (text.size() + kStatement.size() <= bytes)
        text += kStatement;
    text.append(bytes - text.size(), ' ');
    return text;
}

std::string functions(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += "func void f" + std::to_string(i) + "(void)\r\n{\r\n\tf" + std::to_string(i + 1) + "\r\n}\r\n";
    }
    return text;
}

std::string binary(std::size_t bytes)
{
    std::string text(bytes, '\0');
    std::uint32_t state = 2463534242u;
    for (char& byte : text) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state & 0xFF);
    }
    return text;
}

} // namespace hostile
