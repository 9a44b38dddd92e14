// Which views a frame shows, top to bottom, and from which byte position.
#pragma once

enum ViewSource { kViewInput = 1, kViewOutput = 2 };

// The arrangement a composed frame leaves behind (g_nLastDisplayed).
enum Arrangement { kShownInput = 0, kShownOutput = 1, kShownBoth = 2 };

struct ViewChoiceInputs {
    int displaySource = 2; // 0 input only, 1 output only, 2 both when available
    bool recording = false;
    bool playing = false;
    int lastDisplayed = kShownInput;
    int inputPos = 0;
    int outputPos = 0;
    bool inputWrapped = false;
    int blockBytes = 0;
};

struct ViewChoice {
    int count = 0;
    struct {
        int source; // ViewSource
        int position;
    } views[2] = {};
    int arrangement = kShownInput;
};

ViewChoice ChooseViews(const ViewChoiceInputs& in);

// A frame is drawn only when the first view's analyser exists and the store
// of every chosen view is allocated.
bool FrameDrawable(const ViewChoice& choice, bool inputStore, bool outputStore, bool inputAnalyser,
                   bool outputAnalyser);

// Band height of each view in a display of the height.
inline int ViewHeight(const ViewChoice& choice, int height) { return choice.count == 2 ? height / 2 : height; }
