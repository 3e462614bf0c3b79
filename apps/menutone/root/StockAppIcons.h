#pragma once

// Our own drawings of iOS 9's stock app icons, in the style of its artwork:
// each fills a 60-point square (the home screen rounds the corners).

typedef struct _cairo cairo_t;

namespace stockicons {

void messages(cairo_t*);
void calendar(cairo_t*);
void photos(cairo_t*);
void camera(cairo_t*);
void weather(cairo_t*);
void clock(cairo_t*);
void maps(cairo_t*);
void videos(cairo_t*);
void notes(cairo_t*);
void reminders(cairo_t*);
void stocks(cairo_t*);
void gameCenter(cairo_t*);
void newsstand(cairo_t*);
void iTunesStore(cairo_t*);
void appStore(cairo_t*);
void iBooks(cairo_t*);
void health(cairo_t*);
void wallet(cairo_t*);
void settings(cairo_t*);
void phone(cairo_t*);
void mail(cairo_t*);
void safari(cairo_t*);
void music(cairo_t*);

}
