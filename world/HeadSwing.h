#pragma once
// The face looks around while the body stands: two steps of headSwing degrees a
// frame, turning back at 35 degrees either side of the body's heading.

class HeadSwing {
public:
    static constexpr float LIMIT = 35.0f; // degrees
    static constexpr int STEPS_PER_FRAME = 2;

    static void update(float bodyRotY, float& faceRotY, float& headSwing) {
        for (int step = 0; step < STEPS_PER_FRAME; ++step) {
            // Turn back only when heading further out; a face already past a limit
            // (the body turned) keeps coming back instead of sticking there.
            const bool beyondUpper = headSwing > 0 && faceRotY >= bodyRotY + LIMIT;
            const bool beyondLower = headSwing < 0 && faceRotY <= bodyRotY - LIMIT;
            if (beyondUpper || beyondLower) {
                headSwing = -headSwing;
            }
            faceRotY += headSwing;
        }
    }
};
