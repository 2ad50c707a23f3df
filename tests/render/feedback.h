// Runs drawing code in GL feedback mode under a known orthographic view and
// hands back what it drew, in the coordinates of the drawing's own model-view
// frame.
#pragma once

#include <array>
#include <functional>
#include <vector>

struct FeedbackVertex {
    double x, y, z;      // in the frame that was current when drawing began
    float colour[4];
    float s, t;
};

struct Feedback {
    std::vector<std::vector<FeedbackVertex>> polygons;  // triangles as GL hands them back
    std::vector<std::array<FeedbackVertex, 2>> lines;
    int bitmaps = 0;
};

// Half the side of the cube the orthographic view shows, centred on the origin
// of the eye frame.
constexpr double feedbackReach = 4000;

// Sets a viewport of the context's size and an orthographic projection over
// +-feedbackReach, loads `modelView` (column-major) as the model-view matrix,
// runs `draw` in feedback mode and maps every vertex back through the view and
// `modelView` (a rigid motion).
Feedback captureFeedback(const std::function<void()>& draw, const double* modelView = nullptr);

// The model-view matrix GL holds after `setUp` runs on an identity matrix.
std::array<double, 16> modelViewAfter(const std::function<void()>& setUp);
