// Where a minimised dialog draws its icon: centred in the client area, in 32-bit integer
// arithmetic whose division truncates toward zero, so a client area narrower than the icon gives 0.
#pragma once

struct IconOrigin {
    int x;
    int y;
};

constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return IconOrigin{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
