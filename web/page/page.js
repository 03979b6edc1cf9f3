// The room's page: follows the push channel, shows the newest picture or text, and keeps
// what it shows while the connection is down. Every piece of text from the server goes in
// as text (textContent), never as markup.
'use strict';
(function () {
  const code = new URLSearchParams(location.search).get('code') || '';
  const query = code ? '?code=' + encodeURIComponent(code) : '';
  const byId = (id) => document.getElementById(id);
  const waiting = byId('waiting');
  const text = byId('text');
  const ticker = byId('ticker');
  const tickerText = byId('ticker-text');
  const connection = byId('connection');
  const fullScreenButton = byId('fullscreen');
  let picture = byId('picture');

  // For tests and measurements: the last state, and when the last picture was painted.
  const page = (window.quorixPage = { state: null, painted: null, paints: 0, texts: 0 });
  let shownPicture = null;
  let wantedPicture = null;
  let shownText = -1;
  let wantedText = -1;

  function show(what) {
    document.body.dataset.showing = what;
    waiting.hidden = what !== 'waiting';
    picture.hidden = what !== 'picture';
    text.hidden = what !== 'text';
  }

  function afterPaint(done) {
    requestAnimationFrame(() => requestAnimationFrame(done));
  }

  // The next picture is loaded and decoded aside, then takes the place of the one shown,
  // so the screen never shows a half-loaded picture or a blank.
  function loadPicture(address) {
    if (address === shownPicture || address === wantedPicture) return;
    wantedPicture = address;
    const next = new Image();
    next.alt = '';
    next.src = address;
    next.decode().then(
      () => {
        if (wantedPicture !== address) return;
        next.id = 'picture';
        next.hidden = picture.hidden;
        picture.replaceWith(next);
        picture = next;
        shownPicture = address;
        wantedPicture = null;
        page.paints++;
        afterPaint(() => {
          page.painted = { address: address, at: Date.now() };
        });
      },
      () => {
        if (wantedPicture === address) wantedPicture = null;
      }
    );
  }

  const alignments = ['left', 'center', 'right', 'justify'];
  const colour = /^#[0-9a-f]{6}$/i;
  const family = /^[\p{L}\p{N} _-]{1,64}$/u;

  function textPicture(from) {
    const image = document.createElement('img');
    image.alt = '';
    image.className = 'text-picture';
    image.src = from.image;
    if (typeof from.width === 'number' && isFinite(from.width))
      image.style.width = Math.min(4000, Math.max(1, from.width)) + 'px';
    return image;
  }

  function run(from) {
    if (typeof from.image === 'string' && /^\/picture\/[0-9a-f]{32}\/\d+\.png$/.test(from.image))
      return textPicture(from);
    const span = document.createElement('span');
    span.textContent = String(from.text ?? '');
    if (from.bold === true) span.classList.add('bold');
    if (from.italic === true) span.classList.add('italic');
    if (from.underline === true) span.classList.add('underline');
    if (typeof from.color === 'string' && colour.test(from.color)) span.style.color = from.color;
    if (typeof from.background === 'string' && colour.test(from.background))
      span.style.backgroundColor = from.background;
    if (typeof from.size === 'number' && isFinite(from.size))
      span.style.fontSize = Math.min(400, Math.max(4, from.size)) + 'pt';
    if (typeof from.font === 'string' && family.test(from.font))
      span.style.fontFamily = '"' + from.font + '", sans-serif';
    return span;
  }

  function renderText(document_) {
    const pieces = document.createDocumentFragment();
    let list = null;
    for (const paragraph of document_.paragraphs || []) {
      const block = document.createElement(paragraph.bullet === true ? 'li' : 'p');
      const align = alignments.includes(paragraph.align) ? paragraph.align : 'left';
      block.classList.add('align-' + align);
      const indent = Math.min(5, Math.max(0, paragraph.indent | 0));
      if (indent > 0 && paragraph.bullet !== true) block.classList.add('indent-' + indent);
      for (const piece of paragraph.runs || []) block.appendChild(run(piece));
      if (paragraph.bullet === true) {
        if (!list) {
          list = document.createElement('ul');
          pieces.appendChild(list);
        }
        list.appendChild(block);
      } else {
        list = null;
        pieces.appendChild(block);
      }
    }
    text.replaceChildren(pieces);
    text.scrollTop = 0;
  }

  function loadText(version) {
    if (version === shownText || version === wantedText) return;
    wantedText = version;
    fetch('text' + query, { cache: 'no-store' })
      .then((response) => {
        if (!response.ok) throw new Error(response.status);
        return response.json();
      })
      .then((document_) => {
        if (wantedText !== version) return;
        renderText(document_);
        shownText = version;
        page.texts++;
      })
      .catch(() => {
        if (wantedText === version) wantedText = -1;
      });
  }

  function apply(state) {
    page.state = state;
    document.body.classList.toggle('stretch', state.stretch === true);
    document.body.classList.toggle('top-left', state.center === false);
    const scroll = typeof state.scroll === 'string' ? state.scroll : '';
    tickerText.textContent = scroll;
    ticker.hidden = scroll === '' || state.showing === 'waiting';
    fullScreenButton.classList.toggle('suggest', state.fullScreen === true);
    if (typeof state.picture === 'string' && state.picture.startsWith('/picture/'))
      loadPicture(state.picture);
    if (state.showing === 'text' && typeof state.text === 'number') loadText(state.text);
    show(['picture', 'text'].includes(state.showing) ? state.showing : 'waiting');
  }

  // EventSource reconnects by itself after a dropped connection (the server asks for one
  // second); the first announcement after it is the newest state. An answer that ends the
  // channel for good (the server restarted with a new code, say) is tried again later.
  function connect() {
    const events = new EventSource('events' + query);
    events.addEventListener('state', (event) => {
      connection.hidden = true;
      try {
        apply(JSON.parse(event.data));
      } catch (e) {
        /* a malformed announcement changes nothing */
      }
    });
    events.onerror = () => {
      connection.hidden = false;
      if (events.readyState === EventSource.CLOSED) setTimeout(connect, 3000);
    };
  }

  fullScreenButton.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen)
      document.documentElement.requestFullscreen().catch(() => {});
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'f' || event.key === 'F11') {
      event.preventDefault();
      fullScreenButton.click();
    }
  });

  connect();
})();
