// Gives a plug-in page the tool's automation object as window.HWC. The tool runs this script,
// after Qt's qwebchannel.js, at the start of every page of a plug-in module's browser; it does
// nothing where the tool publishes no object (a page from outside the plug-in's folder).
//
// Methods return promises: HWC.GetReg("CTRL").then(function (value) { ... }). Events call the
// page's global functions of the same names (function OnRefreshAll() { ... }); a handler may
// return a promise, and the tool waits for it where it reads the outcome.
(function () {
    'use strict';
    if (window.HWC || typeof qt === 'undefined' || !qt.webChannelTransport ||
        typeof QWebChannel !== 'function')
        return;

    var object = null;         // the published object once the channel is up
    var waiting = [];          // calls made before that, sent in order when it is
    var resolveReady;
    var ready = new Promise(function (resolve) { resolveReady = resolve; });

    function send(method, args, resolve, reject) {
        object[method].apply(object, args.concat([function (reply) {
            if (reply && reply.ok)
                resolve(reply.value === null ? undefined : reply.value);
            else
                reject(new Error('HWC.' + method + ': ' +
                                 ((reply && reply.error) || 'no answer')));
        }]));
    }

    // Sent at once when the object is there, so that calls reach the tool in the order the
    // page makes them, and before the page's handler reports that it has finished.
    function call(method, args) {
        args = args.map(function (value) { return value === undefined ? null : value; });
        return new Promise(function (resolve, reject) {
            if (object)
                send(method, args, resolve, reject);
            else
                waiting.push(function () { send(method, args, resolve, reject); });
        });
    }

    var api = {
        AssignModule: function (modulePrefix) { return call('AssignModule', [modulePrefix]); },
        SetReg: function (name, value) { return call('SetReg', [name, value]); },
        GetReg: function (name) { return call('GetReg', [name]); },
        SetWarning: function (id, set, text) { return call('SetWarning', [id, set, text]); },
        NavigatePage: function (url, tipText) { return call('NavigatePage', [url, tipText]); },
        SetComment: function (comment) { return call('SetComment', [comment]); },
        // Resolves with HWC once the object is connected and the page's handlers are known.
        ready: ready
    };
    Object.freeze(api);
    Object.defineProperty(window, 'HWC', { value: api, writable: false, configurable: false });

    function finish(seq, result) {
        if (object)
            object.eventDone(seq, result === undefined ? null : result);
    }

    // An event of the tool: the page's global function of that name, if any, then the answer.
    function dispatch(seq, name, args) {
        var handler = window[name];
        if (typeof handler !== 'function') {
            finish(seq, null);
            return;
        }
        var result;
        try {
            result = handler.apply(window, args || []);
        } catch (error) {
            console.error('HWC: ' + name + ' failed: ' + error);
            finish(seq, null);
            return;
        }
        Promise.resolve(result).then(function (value) { finish(seq, value); },
                                     function (error) {
                                         console.error('HWC: ' + name + ' failed: ' + error);
                                         finish(seq, null);
                                     });
    }

    function whenParsed(action) {
        if (document.readyState === 'loading')
            document.addEventListener('DOMContentLoaded', action);
        else
            action();
    }

    new QWebChannel(qt.webChannelTransport, function (channel) {
        var published = channel.objects.HWC;
        if (!published)
            return;
        // Handlers are looked up when the page's own script has been read.
        whenParsed(function () {
            object = published;
            object.scriptEvent.connect(dispatch);
            var calls = waiting;
            waiting = [];
            calls.forEach(function (sendCall) { sendCall(); });
            object.attachPage();
            resolveReady(api);
        });
    });
})();
