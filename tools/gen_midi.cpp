// Writes the two content files of the DirectX tests, our own compositions,
// as standard MIDI files (format 1, 480 ticks per quarter note):
//   ReggaeBeats.mid  a one-drop groove, 8 bars at 96 bpm = 20 s, that loops
//                    without a seam (every note ends inside the last bar and
//                    the last chord leads back to the first);
//   Intrigue.mid     a moody piece in D minor, 10 bars at 80 bpm = 30 s,
//                    that builds from a lone ostinato to a full climax and
//                    dies away again.
// Usage: gen_midi OUTPUT_FOLDER
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerBeat = 480;
constexpr int kBar = 4 * kTicksPerBeat;
constexpr int kDrums = 9; // General MIDI's percussion channel

struct Event {
    int tick;
    int order; // note-offs before note-ons at the same tick
    std::vector<uint8_t> bytes;
};

class Track {
public:
    void Raw(int tick, int order, std::vector<uint8_t> bytes) { m_events.push_back({tick, order, bytes}); }
    void Note(int channel, int tick, int length, int key, int velocity)
    {
        Raw(tick, 1, {uint8_t(0x90 | channel), uint8_t(key), uint8_t(velocity)});
        Raw(tick + length, 0, {uint8_t(0x80 | channel), uint8_t(key), 0});
    }
    void Program(int channel, int program) { Raw(0, 0, {uint8_t(0xC0 | channel), uint8_t(program)}); }
    void Control(int channel, int tick, int control, int value)
    {
        Raw(tick, 0, {uint8_t(0xB0 | channel), uint8_t(control), uint8_t(value)});
    }
    void Meta(int tick, int type, const std::string& data)
    {
        std::vector<uint8_t> bytes{0xFF, uint8_t(type), uint8_t(data.size())};
        bytes.insert(bytes.end(), data.begin(), data.end());
        Raw(tick, 0, bytes);
    }
    void Tempo(int tick, int bpm)
    {
        int micros = 60000000 / bpm;
        Meta(tick, 0x51, std::string{char(micros >> 16), char((micros >> 8) & 0xFF), char(micros & 0xFF)});
    }

    // The MTrk chunk, ending at endTick.
    std::vector<uint8_t> Chunk(int endTick) const
    {
        std::vector<Event> events = m_events;
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> body;
        int now = 0;
        auto delta = [&](int tick) {
            uint32_t value = uint32_t(tick - now);
            now = tick;
            uint8_t groups[4];
            int n = 0;
            do {
                groups[n++] = value & 0x7F;
                value >>= 7;
            } while (value);
            while (n--) body.push_back(groups[n] | (n ? 0x80 : 0));
        };
        for (const Event& e : events) {
            delta(e.tick);
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        delta(endTick);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
        Big32(chunk, uint32_t(body.size()));
        chunk.insert(chunk.end(), body.begin(), body.end());
        return chunk;
    }

    static void Big32(std::vector<uint8_t>& out, uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
    }

private:
    std::vector<Event> m_events;
};

bool WriteMidi(const std::string& path, const std::vector<Track>& tracks, int endTick)
{
    std::vector<uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    file.push_back(uint8_t(tracks.size() >> 8));
    file.push_back(uint8_t(tracks.size()));
    file.push_back(kTicksPerBeat >> 8);
    file.push_back(kTicksPerBeat & 0xFF);
    for (const Track& t : tracks) {
        std::vector<uint8_t> chunk = t.Chunk(endTick);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

// ---- ReggaeBeats: A minor, Am | Am | Dm | Dm | F | G | Am | E ----
bool WriteReggaeBeats(const std::string& path)
{
    constexpr int kBars = 8;
    constexpr int kEighth = kTicksPerBeat / 2;
    Track conductor, drums, bass, skank, organ;
    conductor.Meta(0, 0x03, "ReggaeBeats");
    conductor.Meta(0, 0x58, std::string{4, 2, 24, 8}); // 4/4
    conductor.Tempo(0, 96);

    const int roots[kBars] = {45, 45, 50, 50, 41, 43, 45, 40}; // bass roots (A2 D3 F2 G2 E2)
    const int chords[kBars][3] = {{57, 60, 64}, {57, 60, 64}, {57, 62, 65}, {57, 62, 65},
                                  {57, 60, 65}, {59, 62, 67}, {57, 60, 64}, {56, 59, 64}};
    bass.Program(1, 33);  // fingered electric bass
    skank.Program(2, 27); // clean electric guitar
    organ.Program(3, 16); // drawbar organ
    for (int bar = 0; bar < kBars; ++bar) {
        int start = bar * kBar;
        // One drop: kick and rim shot together on beat 3 only; hi-hat on
        // every eighth, the off-beats louder; a cross-stick fill in bar 8.
        drums.Note(kDrums, start + 2 * kTicksPerBeat, kEighth, 36, 110);
        drums.Note(kDrums, start + 2 * kTicksPerBeat, kEighth, 37, 95);
        for (int e = 0; e < 8; ++e) drums.Note(kDrums, start + e * kEighth, kEighth / 2, 42, e % 2 ? 80 : 55);
        if (bar == kBars - 1) {
            for (int e = 5; e < 8; ++e) drums.Note(kDrums, start + e * kEighth, kEighth / 2, 38, 70 + 10 * (e - 5));
        }
        // Bass: root, rest, fifth and octave leaning back to the root.
        const int r = roots[bar];
        const int line[5][3] = {{0, 3, 0}, {4, 1, 7}, {5, 1, 12}, {6, 1, 7}, {7, 1, 3}}; // eighth, length, step
        for (const auto& n : line) bass.Note(1, start + n[0] * kEighth, n[1] * kEighth - 20, r + n[2], 100);
        // Skank: short chords on the off-beat of every beat.
        for (int beat = 0; beat < 4; ++beat) {
            for (int key : chords[bar]) skank.Note(2, start + beat * kTicksPerBeat + kEighth, kEighth / 2, key, 75);
        }
        // Organ bubble: the chord's root and fifth on the second and fourth eighths of each half.
        for (int e : {1, 3, 5, 7})
            organ.Note(3, start + e * kEighth, kEighth - 30, chords[bar][e % 4 == 1 ? 0 : 2] - 12, 60);
    }
    return WriteMidi(path, {conductor, drums, bass, skank, organ}, kBars * kBar);
}

// ---- Intrigue: D minor, Dm | Dm | Bb | Gm | Dm | Bb | Gm | A | Dm | A ----
bool WriteIntrigue(const std::string& path)
{
    constexpr int kBars = 10;
    constexpr int kSixteenth = kTicksPerBeat / 4;
    Track conductor, ostinato, strings, melody, low, timpani;
    conductor.Meta(0, 0x03, "Intrigue");
    conductor.Meta(0, 0x58, std::string{4, 2, 24, 8});
    conductor.Tempo(0, 80);

    const int roots[kBars] = {38, 38, 34, 43, 38, 34, 43, 45, 38, 45};
    const int chords[kBars][3] = {{62, 65, 69}, {62, 65, 69}, {62, 65, 70}, {62, 67, 70}, {62, 65, 69},
                                  {62, 65, 70}, {62, 67, 70}, {61, 64, 69}, {62, 65, 69}, {61, 64, 67}};
    ostinato.Program(0, 45); // pizzicato strings
    strings.Program(1, 48);  // string ensemble
    melody.Program(2, 71);   // clarinet
    low.Program(3, 42);      // cello
    timpani.Program(4, 47);

    // The ostinato runs through the whole piece: root, fifth, minor third,
    // fifth in sixteenths, its loudness rising to bar 7 and falling away.
    const int loudness[kBars] = {45, 52, 60, 68, 76, 86, 96, 92, 70, 50};
    for (int bar = 0; bar < kBars; ++bar) {
        int start = bar * kBar;
        const int steps[4] = {0, 7, 3, 7};
        int root = roots[bar] + 12;
        for (int s = 0; s < 16; ++s) {
            ostinato.Note(0, start + s * kSixteenth, kSixteenth - 10, root + steps[s % 4],
                          loudness[bar] - (s % 4 ? 10 : 0));
        }
        // Strings hold the chord from bar 3, swelling with expression.
        if (bar >= 2) {
            for (int key : chords[bar]) strings.Note(1, start, kBar - 10, key, loudness[bar] - 5);
            for (int step = 0; step < 4; ++step) {
                strings.Control(1, start + step * kTicksPerBeat, 11, std::min(127, 60 + bar * 6 + step * 4));
            }
        }
        // Cello doubles the root in half notes from bar 5.
        if (bar >= 4) {
            for (int half = 0; half < 2; ++half)
                low.Note(3, start + half * 2 * kTicksPerBeat, 2 * kTicksPerBeat - 20, roots[bar] - 12, loudness[bar]);
        }
        // Timpani rolls into the climax and marks the last bar.
        if (bar == 5 || bar == 6) {
            for (int s = 12; s < 16; ++s)
                timpani.Note(4, start + s * kSixteenth, kSixteenth, 38, 60 + 8 * (s - 12) + 10 * (bar - 5));
        }
        if (bar == 9) timpani.Note(4, start, kTicksPerBeat, 33, 90);
    }
    // The melody enters in bar 4, climbs to the climax and falls back.
    const int tune[][3] = {// bar, sixteenth, key; each note lasts to the next
                           {3, 0, 74},  {3, 6, 72},  {3, 8, 70},  {3, 12, 69}, {4, 0, 74}, {4, 4, 77},
                           {4, 8, 76},  {4, 12, 74}, {5, 0, 77},  {5, 6, 79},  {5, 8, 81}, {5, 12, 82},
                           {6, 0, 86},  {6, 8, 84},  {6, 12, 82}, {7, 0, 81},  {7, 4, 79}, {7, 8, 77},
                           {7, 12, 76}, {8, 0, 74},  {8, 8, 73},  {9, 0, 74}};
    const int tuneNotes = int(sizeof tune / sizeof tune[0]);
    for (int i = 0; i < tuneNotes; ++i) {
        int at = tune[i][0] * kBar + tune[i][1] * kSixteenth;
        int end = i + 1 < tuneNotes ? tune[i + 1][0] * kBar + tune[i + 1][1] * kSixteenth : kBars * kBar;
        melody.Note(2, at, end - at - 15, tune[i][2], loudness[tune[i][0]]);
    }
    return WriteMidi(path, {conductor, ostinato, strings, melody, low, timpani}, kBars * kBar);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_midi OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!WriteReggaeBeats(folder + "/ReggaeBeats.mid") || !WriteIntrigue(folder + "/Intrigue.mid")) {
        std::fprintf(stderr, "gen_midi: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
