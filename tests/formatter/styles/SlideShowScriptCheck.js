// Runs the script of a generated slide-show page against a small stand-in for the
// browser (a document with its picture element, Image, and a clock that moves only
// when told), and checks how the show behaves.
//   node SlideShowScriptCheck.js formatter|engine PAGE
'use strict';
const assert = require('assert');
const fs = require('fs');
const vm = require('vm');

const [kind, pagePath] = process.argv.slice(2);
const page = fs.readFileSync(pagePath, 'latin1');
const script = page.match(/<script language=JavaScript1\.2>\r\n([\s\S]*?)<\/script>/)[1];

// The page's own picture element is all that document.images holds at load time. Like a
// browser's live collection it ignores assignments (frozen: ignored silently outside
// strict code).
function makeBrowser(pictureName) {
    const picture = { src: 'placeholder' };
    const images = Object.freeze({ length: 1, 0: picture, [pictureName]: picture });
    let now = 0;
    let nextId = 1;
    const timers = new Map();
    const context = {
        document: { images },
        Image: function Image() { this.src = ''; },
        clearTimeout(id) { timers.delete(id); },
    };
    context.self = context;
    context.setTimeout = (code, delay) => {
        const id = nextId++;
        timers.set(id, { at: now + delay, code });
        return id;
    };
    vm.createContext(context);
    vm.runInContext(script, context);
    return {
        picture,
        pending: () => timers.size,
        call: (code) => vm.runInContext(code, context),
        // Moves the clock on, one millisecond at a time, running time-outs as they fall due.
        advance(ms) {
            for (const end = now + ms; now < end;) {
                now++;
                for (const [id, timer] of [...timers]) {
                    if (timer.at <= now && timers.has(id)) {
                        timers.delete(id);
                        vm.runInContext(timer.code, context);
                    }
                }
            }
        },
    };
}

const pictures = [...page.matchAll(/=newImage\((['"])(.*?)\1\);/g)].map((m) => m[2].replace(/\\\\/g, '\\'));
assert(pictures.length >= 3, 'the page preloads at least three pictures');

function checkFormatterPage() {
    const b = makeBrowser('theimage');
    const shown = () => b.picture.src;
    b.call('jsOnLoad()');
    assert.strictEqual(shown(), pictures[0], 'the first picture shows once loaded');

    b.call('StartTheTimer()');
    assert.strictEqual(shown(), pictures[1], 'the first start moves one picture forward at once');
    b.advance(6999);
    assert.strictEqual(shown(), pictures[1], 'no change before 7 seconds');
    b.advance(1);
    assert.strictEqual(shown(), pictures[2], 'the picture changes after 7 seconds');
    b.advance(7000);
    assert.strictEqual(shown(), pictures[0], 'forward from the last picture wraps to the first');

    b.call('StartTheTimer()');
    b.call('StopTheClock()');
    b.advance(60000);
    assert.strictEqual(b.pending(), 0, 'stop clears the show even after a second start');
    assert.strictEqual(shown(), pictures[0], 'a stopped show stands still');

    for (let i = 0; i < 10; i++) b.call('SpeedUpTheClock()');
    b.call('StartTheTimer()');
    b.advance(10000);
    b.call('StopTheClock()');
    assert.strictEqual(b.call('defaultSecs'), 1, 'speed up stops at 1 second');
    b.call('SlowDownTheClock()');
    b.call('SlowDownTheClock()');
    assert.strictEqual(b.call('defaultSecs'), 3, 'slow down has no limit below');

    const fresh = makeBrowser('theimage');
    fresh.call('jsOnLoad()');
    fresh.call("changeImages('theimage',-1)");
    assert.strictEqual(fresh.picture.src, pictures[pictures.length - 1], 'back on the first shows the last');
    fresh.call("changeImages('theimage',-1)");
    assert.strictEqual(fresh.picture.src, pictures[pictures.length - 2]);
    fresh.call("changeImages('theimage',0)");
    assert.strictEqual(fresh.picture.src, pictures[0], 'rewind shows the first picture');
    fresh.call("changeImages('theimage',1)");
    assert.strictEqual(fresh.picture.src, pictures[pictures.length - 1],
                       'forward after rewind continues from the index held before it');
}

function checkEnginePage() {
    const b = makeBrowser('zoom');
    const shown = () => b.picture.src;
    b.call('preloadImages()');
    assert.strictEqual(shown(), pictures[0], 'the first picture shows once loaded');
    b.call('StartTheTimer()');
    assert.strictEqual(shown(), pictures[1], 'the first start moves one picture forward at once');
    b.advance(9999);
    assert.strictEqual(shown(), pictures[1], 'no change before 10 seconds');
    b.advance(1);
    assert.strictEqual(shown(), pictures[2], 'the picture changes after 10 seconds');
    b.call('StopTheClock()');
    b.advance(60000);
    assert.strictEqual(b.pending(), 0, 'stop stops the show');
    b.call("changeImages('zoom',1)");
    assert.strictEqual(shown(), pictures[0], 'forward from the last wraps to the first');
    b.call("changeImages('zoom',-1)");
    assert.strictEqual(shown(), pictures[pictures.length - 1], 'back from the first wraps to the last');
}

if (kind === 'formatter') checkFormatterPage();
else if (kind === 'engine') checkEnginePage();
else throw new Error('unknown page kind ' + kind);
console.log('slide show script of ' + pagePath + ': all checks passed');
