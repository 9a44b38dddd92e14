#include "display/view_choice.h"

namespace {
int AtLeastZero(int v) { return v < 0 ? 0 : v; }
} // namespace

ViewChoice ChooseViews(const ViewChoiceInputs& in)
{
    const int input = in.inputPos - in.blockBytes;
    const int output = in.outputPos - in.blockBytes;
    ViewChoice c;
    auto add = [&c](int source, int position) {
        c.views[c.count].source = source;
        c.views[c.count].position = position;
        ++c.count;
    };

    if (in.displaySource == 0) {
        add(kViewInput, input);
    } else if (in.displaySource == 1) {
        add(kViewOutput, output);
    } else if (in.recording && in.playing) {
        add(kViewInput, input);
        add(kViewOutput, output);
    } else if (in.playing) {
        add(kViewOutput, output);
    } else if (in.recording) {
        add(kViewInput, input);
    } else if (in.lastDisplayed == kShownOutput) {
        add(kViewOutput, AtLeastZero(output));
    } else if (in.lastDisplayed == kShownBoth) {
        add(kViewInput, in.inputWrapped ? AtLeastZero(input) : input);
        add(kViewOutput, AtLeastZero(output));
    } else {
        add(kViewInput, AtLeastZero(input));
    }

    c.arrangement = c.count == 2 ? kShownBoth : c.views[0].source == kViewInput ? kShownInput : kShownOutput;
    return c;
}

bool FrameDrawable(const ViewChoice& choice, bool inputStore, bool outputStore, bool inputAnalyser, bool outputAnalyser)
{
    if (choice.count == 0) return false;
    if (!(choice.views[0].source == kViewInput ? inputAnalyser : outputAnalyser)) return false;
    for (int i = 0; i < choice.count; ++i)
        if (!(choice.views[i].source == kViewInput ? inputStore : outputStore)) return false;
    return true;
}
